// Rules that notice a microphone that delivers no sound, fed the level meter's positions (0 to 100)
// as the meter moves. During an exam recording the meter moves every 100 ms; a participant's answer
// recorded from a muted or unplugged microphone is lost for good, so the station raises a banner
// as soon as the silence has lasted long enough to be no pause in speech, and takes it down as
// soon as sound returns. The times are passed in, so that the rules do not depend on a clock.
#pragma once

#include "interview_format/LoudnessLimits.h"
#include "station/OperatorTexts.h"

#include <chrono>
#include <optional>
#include <string>

namespace station {

// The exam page's banner while SilenceWatch reports silence is NoSignalText; the check page's
// message after a microphone test that heard nothing is MicrophoneSilentText.

// The meter's position for a steady loudness in LUFS: the gain indicator reads 50 + LUFS (its
// 32 dB ceiling of gain over the gain library's -18 LUFS reference) and the bar shows a reading
// as reading x 100 / 60 (LevelMeter.h). The largest position a moment at that loudness reaches.
constexpr int MeterPositionOfLufs(double lufs) {
    const double position = (lufs + 50.0) * 100.0 / 60.0;
    return position <= 0 ? 0 : static_cast<int>(position);
}

// A meter at or below this position counts as no sound: the loudness below which the receiver
// too counts a moment of a recording as silent.
inline constexpr int SilentLevel = MeterPositionOfLufs(interview_format::SilenceLufs);

enum class SignalState { Sound, Silent };

// Watches one recording. The station calls Start when a participant's recording starts (the next
// participant included), Feed with every meter position while it records, and Update from its
// one-second timer, so that silence is noticed even when the meter stops moving.
class SilenceWatch {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds SilenceLimit{10};

    void Start(Clock::time_point at);
    // Returns the state after this position: Silent once the level has stayed at or below
    // SilentLevel for SilenceLimit in a row, Sound again at the first position above it.
    SignalState Feed(int level, Clock::time_point at);
    // The state at `at` with no new position since the last one.
    SignalState Update(Clock::time_point at);
    SignalState State() const { return state_; }

private:
    std::optional<Clock::time_point> silentSince_;
    SignalState state_ = SignalState::Sound;
};

// Watches one microphone test: Start when the test is switched on, Feed with every meter position,
// Finish when it is switched off.
class MicrophoneTestWatch {
public:
    using Clock = std::chrono::steady_clock;
    // A shorter test proves nothing either way.
    static constexpr std::chrono::seconds MinimumTest{3};

    void Start(Clock::time_point at);
    void Feed(int level);
    // MicrophoneSilentText when the test lasted at least MinimumTest and the meter never rose
    // above SilentLevel; nothing otherwise (also when no test was started).
    std::optional<std::string> Finish(Clock::time_point at);

private:
    std::optional<Clock::time_point> started_;
    bool heardSound_ = false;
};

} // namespace station
