// "Проверено архивов: k из n" kept on one line of a terminal's standard error while the checks
// run; nothing at all when standard error is not a terminal.
#pragma once

#include <cstddef>

namespace interview_check::tool {

class ProgressLine {
public:
    explicit ProgressLine(std::size_t total);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Show(std::size_t done);
    // Before anything else is written to the terminal.
    void Clear();

private:
    std::size_t total_;
    bool enabled_;
    bool shown_ = false;
};

} // namespace interview_check::tool
