// For tests: answers message boxes by script and records what was shown. Installed for the lifetime
// of the object; the presenter it replaces comes back afterwards.
#pragma once

#include "platform/MessageBox.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

class ScriptedMessageBoxes {
public:
    ScriptedMessageBoxes() {
        previous_ =
            platform::SetMessageBoxPresenter([this](const platform::MessageBoxRequest& request) {
                std::lock_guard guard(lock_);
                shown_.push_back(request);
                if (answers_.empty())
                    return platform::MessageResult::Ok;
                const platform::MessageResult answer = answers_.front();
                answers_.pop_front();
                return answer;
            });
    }
    ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
    ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;
    ~ScriptedMessageBoxes() { platform::SetMessageBoxPresenter(std::move(previous_)); }

    // Answers for the next boxes, in order; a box beyond the script is answered OK.
    void Answer(platform::MessageResult answer) {
        std::lock_guard guard(lock_);
        answers_.push_back(answer);
    }

    std::vector<platform::MessageBoxRequest> Shown() const {
        std::lock_guard guard(lock_);
        return shown_;
    }
    std::vector<std::string> Texts() const {
        std::lock_guard guard(lock_);
        std::vector<std::string> texts;
        for (const platform::MessageBoxRequest& request : shown_)
            texts.push_back(request.text);
        return texts;
    }
    void Clear() {
        std::lock_guard guard(lock_);
        shown_.clear();
    }

private:
    mutable std::mutex lock_;
    std::vector<platform::MessageBoxRequest> shown_;
    std::deque<platform::MessageResult> answers_;
    platform::MessageBoxPresenter previous_;
};

} // namespace testsupport
