// Work that must be done when the process ends through exit() without returning from main: the GUI
// toolkit ends the program that way the moment its display connection breaks. Static objects
// (the run-time loaded libraries among them) are destroyed right after; a recording still encoding
// on its worker would then run into an unloaded library.
#pragma once

#include <functional>

namespace platform {

class LastWordsAtExit {
public:
    // `last` runs once if the process exits while this object lives; never after it is destroyed.
    // Static objects made before this one outlive `last`; make the ones it needs first.
    explicit LastWordsAtExit(std::function<void()> last);
    ~LastWordsAtExit();
    LastWordsAtExit(const LastWordsAtExit&) = delete;
    LastWordsAtExit& operator=(const LastWordsAtExit&) = delete;

    // Runs `last` now unless it has run already (from any of the ways the process learns of its
    // end). GUI thread.
    void RunNow();

private:
    std::function<void()> last_;
    bool ran_ = false;
};

} // namespace platform
