// The participants' recordings: the start, the timer, the next participant, the meter and what a
// failed recording shows.
#include "station/Naming.h"
#include "station/OperatorTexts.h"
#include "station/TimerText.h"
#include "station/core/Attempt.h"
#include "station/core/Interview.h"
#include "station/core/Prompt.h"
#include "station/core/UnreadableRecordings.h"
#include "station/safeguards/OperatorMessages.h"

#include <utility>

namespace station {

void Interview::StartRecording() {
    const auto turn = TakeTurn(opened_ && !closer_.Closed() && exam_.startEnabled);
    if (!turn)
        return;
    exam_.meterShown = true;
    exam_.startEnabled = false;
    exam_.banner = RecordingBanner::Recording;
    exam_.nextEnabled = true;
    exam_.timerRunning = true;
    elapsed_ = 0;
    PublishElapsed();
    PublishExam();
    StartPass();
}

void Interview::Tick() {
    elapsed_ = AddOneSecond(elapsed_);
    PublishElapsed();
    if (!closer_.Closed())
        watch_.WatchRecording();
}

void Interview::NextParticipant() {
    const auto turn = TakeTurn(opened_ && !closer_.Closed() && exam_.nextEnabled);
    if (!turn)
        return;
    // The session may have ended while the question was open: nothing more is recorded then.
    if (!services_.prompt.Confirm({AreYouSureText, ConfirmationTitle}) || ended_)
        return;
    elapsed_ = 0;
    PublishElapsed();
    recorder_.Stop();
    PassStopped();
    // A failure while the finished pass was being stopped has no event of its own any more; it is
    // told once the next participant is already being recorded.
    const std::string missedFailure = failureReported_ ? std::string() : recorder_.FailureText();
    const platform::FailureCause missedCause = recorder_.CauseOfFailure();
    ++state_.participant;
    if (!StartPass())
        return;
    exam_.startEnabled = false;
    exam_.nextEnabled = true;
    exam_.timerRunning = true;
    observers_.Notify(
        [&](StationObserver& observer) { observer.ParticipantChanged(state_.participant); });
    PublishExam();
    if (!missedFailure.empty())
        ShowRecordingFailure(missedFailure, missedCause);
}

void Interview::StopRecording() {
    recorder_.Stop();
    PassStopped();
    if (!failureReported_ && !recorder_.FailureText().empty())
        RecordingFailed();
}

bool Interview::StartPass() {
    failureReported_ = false;
    const std::string file = RecordingFileName(state_.folder, state_.participant);
    if (const auto failure = Attempt([&] { recorder_.Start(file); })) {
        // Nothing records: the page says so and its timer stands still.
        failureReported_ = true;
        exam_.banner = RecordingBanner::Failed;
        exam_.timerRunning = false;
        PublishExam();
        observers_.Tell(*failure);
        return false;
    }
    PassStarted(file);
    return true;
}

void Interview::LevelChanged(std::int64_t position) {
    observers_.Notify([&](StationObserver& observer) { observer.LevelChanged(position); });
    watch_.LevelChanged(position);
    // Audio flowing through a pass that opened without failure ends the failure banner.
    if (exam_.banner == RecordingBanner::Failed && !failureReported_ && recorder_.Prepared()) {
        exam_.banner = RecordingBanner::Recording;
        PublishExam();
    }
    watch_.ShowRecordingWarnings();
}

void Interview::RecordingFailed() {
    failureReported_ = true;
    // A recording that never started must not be timed as if it did; one that failed on the way
    // keeps its timer, which tells how long the participant has spoken.
    if (!watch_.AudioArrived())
        exam_.timerRunning = false;
    ShowRecordingFailure(recorder_.FailureText(), recorder_.CauseOfFailure());
}

void Interview::ShowRecordingFailure(const std::string& reason,
                                     const platform::FailureCause& cause) {
    exam_.banner = RecordingBanner::Failed;
    PublishExam();
    const bool lost = cause.kind == platform::FailureKind::MicrophoneGone;
    observers_.Tell({RecordingFailedText(OperatorText(reason, cause)) +
                         (lost ? std::string(".") + ExamMicrophoneLostAdvice : std::string()),
                     OperatorMessage::Kind::Error});
}

void Interview::PassStarted(const std::string& filePath) {
    passFile_ = filePath;
    watch_.PassStarted();
    observers_.Notify([&](StationObserver& observer) { observer.RecordingStarted(filePath); });
    watch_.ShowRecordingWarnings();
}

void Interview::PassStopped() {
    // The stopped pass's worker has handed in its line by now, and why its file could not be read.
    TellUnreadable(report_, observers_);
    if (passFile_.empty())
        return;
    watch_.PassStopped();
    // The recording's own length: a box or a stalled sound server may have held the wall clock
    // while no audio was recorded.
    const auto duration =
        std::chrono::duration_cast<std::chrono::seconds>(recorder_.RecordedDuration());
    const std::string filePath = std::exchange(passFile_, std::string());
    observers_.Notify(
        [&](StationObserver& observer) { observer.RecordingStopped(filePath, duration); });
}

} // namespace station
