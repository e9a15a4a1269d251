#include "station/safeguards/SilenceWatch.h"

#include <utility>

namespace station {

void SilenceWatch::Start(Clock::time_point at) {
    // A recording begins without a verdict: silence is counted from its first moment.
    silentSince_ = at;
    state_ = SignalState::Sound;
}

SignalState SilenceWatch::Feed(int level, Clock::time_point at) {
    if (level > SilentLevel) {
        silentSince_.reset();
        state_ = SignalState::Sound;
        return state_;
    }
    if (!silentSince_)
        silentSince_ = at;
    return Update(at);
}

SignalState SilenceWatch::Update(Clock::time_point at) {
    if (silentSince_ && at - *silentSince_ >= SilenceLimit)
        state_ = SignalState::Silent;
    return state_;
}

void MicrophoneTestWatch::Start(Clock::time_point at) {
    started_ = at;
    heardSound_ = false;
}

void MicrophoneTestWatch::Feed(int level) {
    if (level > SilentLevel)
        heardSound_ = true;
}

std::optional<std::string> MicrophoneTestWatch::Finish(Clock::time_point at) {
    const std::optional<Clock::time_point> started = std::exchange(started_, std::nullopt);
    if (!started || heardSound_ || at - *started < MinimumTest)
        return std::nullopt;
    return std::string(MicrophoneSilentText);
}

} // namespace station
