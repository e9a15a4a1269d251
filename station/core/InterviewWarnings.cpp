// The warnings that let an interview go on: too little room on the Desktop's disk at readiness and
// while recording, and a microphone gone silent during a recording. The banner shows them for as
// long as they hold; the recording itself is never stopped for them.
#include "station/core/Interview.h"
#include "station/safeguards/DiskSpaceRule.h"

#include <exception>
#include <utility>

namespace {

// Often enough to warn long before the reserve is used up, rarely enough that walking the
// interview folder costs nothing noticeable.
constexpr std::chrono::seconds SpaceCheckInterval{5};

} // namespace

void Interview::WarnOfSpaceAtReadiness() {
    std::uint64_t freeBytes = 0;
    try {
        freeBytes = services_.freeBytes(state_.folder);
    } catch (const std::exception&) {
        // Room that cannot be measured is no reason to hold up the exam; the checks while
        // recording try again.
        return;
    }
    if (const auto warning = CheckSpaceAtReadiness(freeBytes))
        observers_.Tell({*warning, OperatorMessage::Kind::Warning});
}

void Interview::PassStarted(const std::string& filePath) {
    passFile_ = filePath;
    audioArrived_ = false;
    passStart_ = services_.steadyNow();
    silence_.Start(passStart_);
    lastSpaceCheck_.reset();
    observers_.Notify([&](StationObserver& observer) { observer.RecordingStarted(filePath); });
    ShowRecordingWarnings();
}

void Interview::PassStopped() {
    // The stopped pass's worker has handed in its line by now, and why its file could not be read.
    TellUnreadable(report_);
    if (passFile_.empty())
        return;
    // The recording's own length: a box or a stalled sound server may have held the wall clock
    // while no audio was recorded.
    const auto duration =
        std::chrono::duration_cast<std::chrono::seconds>(recorder_.RecordedDuration());
    const std::string filePath = std::exchange(passFile_, std::string());
    observers_.Notify(
        [&](StationObserver& observer) { observer.RecordingStopped(filePath, duration); });
}

void Interview::WatchLevel(std::int64_t position) {
    if (!passFile_.empty())
        silence_.Feed(static_cast<int>(position), services_.steadyNow());
}

void Interview::WatchRecording() {
    if (passFile_.empty() || closed_)
        return;
    const auto now = services_.steadyNow();
    // The meter may stop moving altogether (no audio arrives at all): silence is noticed all the
    // same.
    silence_.Update(now);
    if (!lastSpaceCheck_ || now - *lastSpaceCheck_ >= SpaceCheckInterval) {
        lastSpaceCheck_ = now;
        try {
            lowSpace_ = SpaceRunningLow(services_.freeBytes(state_.folder),
                                        FolderContentBytes(state_.folder));
        } catch (const std::exception&) {
            // A folder that has gone is the recording's failure to report, not the disk's.
        }
    }
    ShowRecordingWarnings();
}

void Interview::ShowRecordingWarnings() {
    if (exam_.banner == RecordingBanner::None || exam_.banner == RecordingBanner::Failed)
        return;
    // Silence loses the answer being given now; low space only eats into the reserve.
    const RecordingBanner banner = silence_.State() == SignalState::Silent
                                       ? RecordingBanner::NoSignal
                                   : lowSpace_ ? RecordingBanner::LowSpace
                                               : RecordingBanner::Recording;
    if (banner == exam_.banner)
        return;
    exam_.banner = banner;
    PublishExam();
    if (banner != RecordingBanner::Recording) {
        const std::string text = banner == RecordingBanner::NoSignal ? NoSignalText : LowSpaceText;
        observers_.Notify([&](StationObserver& observer) { observer.Warning(text); });
    }
}
