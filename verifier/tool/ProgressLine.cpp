#include "verifier/tool/ProgressLine.h"

#include <cstdio>
#include <unistd.h>

namespace interview_check::tool {

ProgressLine::ProgressLine(std::size_t total) : total_(total), enabled_(::isatty(STDERR_FILENO)) {}

ProgressLine::~ProgressLine() {
    Clear();
}

void ProgressLine::Show(std::size_t done) {
    if (!enabled_)
        return;
    std::fprintf(stderr, "\r\033[KПроверено архивов: %zu из %zu", done, total_);
    std::fflush(stderr);
    shown_ = true;
}

void ProgressLine::Clear() {
    if (!shown_)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}

} // namespace interview_check::tool
