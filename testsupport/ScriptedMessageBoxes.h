// For tests: answers message boxes by script and records what was shown. Installed for the lifetime
// of the object; the presenter it replaces comes back afterwards.
#pragma once

#include "platform/MessageBox.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace platform::testing {

class ScriptedMessageBoxes {
public:
    ScriptedMessageBoxes() {
        previous_ = SetMessageBoxPresenter([this](const MessageBoxRequest& request) {
            std::lock_guard guard(lock_);
            shown_.push_back(request);
            if (answers_.empty())
                return MessageResult::Ok;
            const MessageResult answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
    }
    ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
    ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;
    ~ScriptedMessageBoxes() { SetMessageBoxPresenter(std::move(previous_)); }

    // Answers for the next boxes, in order; a box beyond the script is answered OK.
    void Answer(MessageResult answer) {
        std::lock_guard guard(lock_);
        answers_.push_back(answer);
    }

    std::vector<MessageBoxRequest> Shown() const {
        std::lock_guard guard(lock_);
        return shown_;
    }
    std::vector<std::string> Texts() const {
        std::lock_guard guard(lock_);
        std::vector<std::string> texts;
        for (const MessageBoxRequest& request : shown_)
            texts.push_back(request.text);
        return texts;
    }
    void Clear() {
        std::lock_guard guard(lock_);
        shown_.clear();
    }

private:
    mutable std::mutex lock_;
    std::vector<MessageBoxRequest> shown_;
    std::deque<MessageResult> answers_;
    MessageBoxPresenter previous_;
};

} // namespace platform::testing
