// What the core needs from outside: the program builds the real ones, tests their own.
#pragma once

#include "station/core/RecordingChainHooks.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace platform {
class SoundSystem;
}

namespace station {

class Calendar;
class Player;
class Prompt;

struct StationServices {
    platform::SoundSystem& sound;
    Player& player;
    Prompt& prompt;
    const Calendar& calendar;
    // The Desktop folder, where interview folders and archives go; may raise platform::Failure.
    std::function<std::string()> desktopFolder;
    // The workstation check's test recording.
    std::string testRecording;
    // The clock that silence and the checks of disk space are timed with.
    std::function<std::chrono::steady_clock::time_point()> steadyNow;
    // The bytes still free on the file system of an existing folder; may raise.
    std::function<std::uint64_t(const std::string& folder)> freeBytes;
    // What a benchmark wires into the exam's recording chain; nothing for the program.
    RecordingChainHooks examChain;
};

} // namespace station
