// The test's main thread plays the GUI thread: it runs hand-overs while it waits.
#pragma once

#include "platform/GuiHandover.h"

#include <chrono>
#include <thread>

namespace audio::test {

// Runs hand-overs until Done holds; false when Limit passed first.
template <typename Predicate>
bool PumpUntil(Predicate Done, std::chrono::milliseconds Limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + Limit;
    while (!Done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        if (!platform::CheckSynchronize())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Runs hand-overs for a while, for checks that something does not happen.
inline void PumpFor(std::chrono::milliseconds Duration) {
    PumpUntil([] { return false; }, Duration);
}

} // namespace audio::test
