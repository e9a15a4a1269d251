#include "station/core/RecordingWatch.h"

#include "station/safeguards/DiskSpaceRule.h"

#include <exception>
#include <utility>

namespace station {

namespace {

// Often enough to warn long before the reserve is used up, rarely enough that walking the
// interview folder costs nothing noticeable.
constexpr std::chrono::seconds SpaceCheckInterval{5};

} // namespace

RecordingWatch::RecordingWatch(StationServices services, ObserverList& observers,
                               const InterviewState& state, const ExamState& exam,
                               std::function<void(RecordingBanner)> showBanner)
    : services_(std::move(services)), observers_(observers), state_(state), exam_(exam),
      showBanner_(std::move(showBanner)) {}

void RecordingWatch::WarnOfSpaceAtReadiness() {
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

void RecordingWatch::PassStarted() {
    watching_ = true;
    passStart_ = services_.steadyNow();
    silence_.Start(passStart_);
    lastSpaceCheck_.reset();
}

void RecordingWatch::LevelChanged(std::int64_t position) {
    if (watching_)
        silence_.Feed(static_cast<int>(position), services_.steadyNow());
}

void RecordingWatch::WatchRecording() {
    if (!watching_)
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

void RecordingWatch::ShowRecordingWarnings() {
    // Only a running pass has warnings: a meter reading that arrives after its pass stopped must
    // not put "recording" back on a banner that says the archive is being packed.
    if (!watching_ || exam_.banner == RecordingBanner::None ||
        exam_.banner == RecordingBanner::Failed)
        return;
    // Silence loses the answer being given now; low space only eats into the reserve.
    const RecordingBanner banner = silence_.State() == SignalState::Silent
                                       ? RecordingBanner::NoSignal
                                   : lowSpace_ ? RecordingBanner::LowSpace
                                               : RecordingBanner::Recording;
    if (banner == exam_.banner)
        return;
    showBanner_(banner);
    if (banner != RecordingBanner::Recording) {
        const std::string text = banner == RecordingBanner::NoSignal ? NoSignalText : LowSpaceText;
        observers_.Notify([&](StationObserver& observer) { observer.Warning(text); });
    }
}

} // namespace station
