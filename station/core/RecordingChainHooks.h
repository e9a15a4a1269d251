// What a benchmark may wire into the exam's recording chain to measure it; the program itself
// wires none of it, and the chain records the same with or without it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace audio {
class TAudioConverter;
}

namespace station {

struct RecordingChainHooks {
    // A stage that reads the capture and that the gain indicator reads instead; it must outlive
    // the chain.
    audio::TAudioConverter* afterCapture = nullptr;
    // How often the file is synced while recording, in place of the output's own interval.
    std::optional<std::chrono::milliseconds> syncInterval;
    // The capture's count of overruns, each time it has grown; on the GUI thread.
    std::function<void(std::uint32_t overruns)> overrunsCounted;
    // Run on the worker just before and just after the end of each pass's file is handled (the
    // capture released, the report line made).
    std::function<void()> passEnding;
    std::function<void()> passEnded;
};

} // namespace station
