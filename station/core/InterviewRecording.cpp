// The participants' recordings: the start, the timer, the next participant, the meter and what a
// failed recording shows.
#include "platform/PathNames.h"
#include "station/Naming.h"
#include "station/OperatorTexts.h"
#include "station/TimerText.h"
#include "station/core/Attempt.h"
#include "station/core/Interview.h"
#include "station/core/Prompt.h"
#include "station/core/RecordedAudio.h"
#include "station/core/UnreadableRecordings.h"
#include "station/safeguards/OperatorMessages.h"

#include <algorithm>
#include <utility>

namespace station {

namespace {

// How often the work log hears that a loss already told has grown.
constexpr std::chrono::seconds LossLogInterval{5};

} // namespace

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
    // A tick already on its way when the recording ended must not count: the timer tells how long
    // sound was recorded.
    if (exam_.timerRunning) {
        elapsed_ = AddOneSecond(elapsed_);
        PublishElapsed();
    }
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
    // The capture goes on into the next participant's file: not a sample of the time between the
    // two is lost.
    recorder_.Stop(AfterStop::KeepCaptureForNextStart);
    const std::optional<OperatorMessage> missedLoss = PassStopped();
    // A failure while the finished pass was being stopped has no event of its own any more; it is
    // told once the next participant is already being recorded.
    const std::string missedFailure = failureReported_ ? std::string() : recorder_.FailureText();
    const platform::FailureCause missedCause = recorder_.CauseOfFailure();
    ++state_.participant;
    if (!StartPass()) {
        if (missedLoss)
            observers_.Tell(*missedLoss);
        return;
    }
    exam_.startEnabled = false;
    exam_.nextEnabled = true;
    exam_.timerRunning = true;
    observers_.Notify(
        [&](StationObserver& observer) { observer.ParticipantChanged(state_.participant); });
    PublishExam();
    if (!missedFailure.empty())
        ShowRecordingFailure(missedFailure, missedCause);
    if (missedLoss)
        observers_.Tell(*missedLoss);
}

void Interview::StopRecording() {
    recorder_.Stop();
    const std::optional<OperatorMessage> missedLoss = PassStopped();
    if (!failureReported_ && !recorder_.FailureText().empty())
        RecordingFailed();
    if (missedLoss)
        observers_.Tell(*missedLoss);
}

bool Interview::StartPass() {
    failureReported_ = false;
    // The banner names the loss of the participant it belongs to only.
    lossTold_ = false;
    exam_.lostAudio = std::chrono::milliseconds(0);
    const std::string file = RecordingFileName(state_.folder, state_.participant);
    if (const Outcome started = Attempt([&] { recorder_.Start(file); }); !started) {
        // Nothing records: the page says so and its timer stands still.
        failureReported_ = true;
        exam_.banner = RecordingBanner::Failed;
        exam_.timerRunning = false;
        PublishExam();
        observers_.Tell(started.Message());
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
    // A failure ends the pass: nothing is recorded any more, so the timer stands still at what
    // was recorded.
    exam_.timerRunning = false;
    ShowRecordingFailure(recorder_.FailureText(), recorder_.CauseOfFailure());
}

void Interview::AudioLost(std::chrono::milliseconds lostInPass) {
    // A pass the station has finished has its loss in its stop line and, if untold, in a box.
    if (passFile_.empty() || lostInPass <= exam_.lostAudio)
        return;
    exam_.lostAudio = lostInPass;
    PublishExam();
    const auto now = services_.steadyNow();
    if (!lossTold_) {
        // Told once per pass; a further loss while the box is open only moves the banner on.
        lossTold_ = true;
        lossLogged_ = now;
        // A pass that has failed (a stalled stream loses its silent time, then fails) does not go
        // on as the box would say: its failure's box tells what to do, the banner the loss.
        if (failureReported_ || !recorder_.FailureText().empty())
            return;
        observers_.Tell(
            {AudioLostText(lostInPass, state_.participant), OperatorMessage::Kind::Warning});
        return;
    }
    // A loss that keeps growing (a disk slower than real time for long) is logged as it grows,
    // but not with a line for every block lost.
    if (now - lossLogged_ >= LossLogInterval) {
        lossLogged_ = now;
        const std::string text = AudioLossGrewText(lostInPass, state_.participant);
        observers_.Notify([&](StationObserver& observer) { observer.Warning(text); });
    }
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

std::optional<OperatorMessage> Interview::PassStopped() {
    // The stopped pass's worker has handed in its line by now, and why its file could not be read.
    TellUnreadable(report_, observers_);
    if (passFile_.empty())
        return std::nullopt;
    watch_.PassStopped();
    FinishedRecording finished{.filePath = std::exchange(passFile_, std::string())};
    // The length is that of the audio in the file as it stands: a box or a stalled sound server
    // may have held the wall clock, and a full disk cut the file back, while the capture counted
    // on. A pass that never started has left no file (its worker has removed an empty one).
    const auto audio = AudioInRecording(finished.filePath);
    std::optional<OperatorMessage> untold;
    if (audio) {
        finished.made = true;
        finished.duration = std::chrono::duration_cast<std::chrono::seconds>(*audio);
        // The chain's own count includes what was lost while the pass was being stopped.
        finished.lost = std::max(exam_.lostAudio, recorder_.LostDuration());
        if (finished.lost > std::chrono::milliseconds(0)) {
            losses_.emplace_back(platform::FileNameOf(finished.filePath), finished.lost);
            // A failed pass has told its end in a box of its own; the loss is in its stop line.
            if (!lossTold_ && !failureReported_ && recorder_.FailureText().empty())
                untold = OperatorMessage{AudioLostText(finished.lost, state_.participant),
                                         OperatorMessage::Kind::Warning};
        }
    }
    observers_.Notify([&](StationObserver& observer) { observer.RecordingStopped(finished); });
    return untold;
}

std::string Interview::LostAudioNote() const {
    if (losses_.empty())
        return {};
    std::string list;
    for (const auto& [name, lost] : losses_)
        list += (list.empty() ? "" : ", ") + LostAudioOfFileText(name, lost);
    return LostAudioInArchiveText(list);
}

} // namespace station
