// What the core needs from outside: the program builds the real ones, tests their own.
#pragma once

#include <functional>
#include <string>

namespace platform {
class SoundSystem;
}

class Calendar;
class Player;
class Prompt;

struct StationServices {
    platform::SoundSystem& sound;
    Player& player;
    Prompt& prompt;
    const Calendar& calendar;
    // The Desktop folder, where interview folders and archives go; may raise std::runtime_error.
    std::function<std::string()> desktopFolder;
    // The workstation check's test recording.
    std::string testRecording;
};
