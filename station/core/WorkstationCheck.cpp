#include "station/core/WorkstationCheck.h"

#include "platform/GuiHandover.h"
#include "station/OperatorTexts.h"
#include "station/core/Attempt.h"
#include "station/core/StationServices.h"
#include "station/safeguards/OperatorMessages.h"

namespace station {

WorkstationCheck::WorkstationCheck(const StationServices& services)
    : player_(services.player), testRecording_(services.testRecording),
      steadyNow_(services.steadyNow),
      recorder_(CheckChainSettings(), services.sound,
                {.levelChanged =
                     [this](std::int64_t position) {
                         microphoneTest_.Feed(static_cast<int>(position));
                         observers_.Notify(
                             [&](StationObserver& observer) { observer.LevelChanged(position); });
                     },
                 .failed = [this] { RecordingFailed(); },
                 .finished = {}}) {
    player_.SetEndHandler([this, alive = std::weak_ptr<bool>(alive_)](Playback ended) {
        // Run on the GUI thread, where the check is also destroyed: a check found alive there
        // stays alive for the call.
        platform::Synchronize([&] {
            if (alive.lock())
                EndPlayback(ended);
        });
    });
}

WorkstationCheck::~WorkstationCheck() {
    player_.SetEndHandler(nullptr);
    alive_.reset();
    player_.Release(playback_);
    // A test recording still running is finished while the meter's observers can take its events.
    recorder_.Stop();
}

void WorkstationCheck::Publish() {
    observers_.Notify([&](StationObserver& observer) { observer.CheckChanged(state_); });
}

void WorkstationCheck::StopPlayback(const Playback& playback) {
    if (recorder_.Running()) {
        recorder_.RequestStop();
        state_.microphoneRunning = false;
    }
    player_.Release(playback);
    playback_ = {};
    state_.playbackRunning = false;
}

void WorkstationCheck::PlaybackEnded(const Playback& ended) {
    platform::Synchronize([&] { EndPlayback(ended); });
}

void WorkstationCheck::EndPlayback(const Playback& ended) {
    // By now the operator may have released the ended playback or started another one.
    if (playback_.stream == 0 || playback_.stream != ended.stream)
        return;
    StopPlayback(ended);
    Publish();
}

void WorkstationCheck::ToggleMicrophone() {
    state_.microphoneDown = !state_.microphoneDown;
    StopPlayback(playback_);
    state_.playbackDown = false;
    recorder_.ResetMeter();
    observers_.Notify([](StationObserver& observer) { observer.LevelChanged(0); });
    if (state_.microphoneDown) {
        if (const Outcome started = Attempt([&] { recorder_.Start(testRecording_); }); !started) {
            Publish();
            observers_.Tell(started.Message());
            return;
        }
        microphoneTest_.Start(steadyNow_());
        state_.meterShown = true;
        state_.microphoneRunning = true;
        state_.playbackEnabled = false;
        Publish();
        return;
    }
    recorder_.RequestStop();
    state_.meterShown = false;
    state_.microphoneRunning = false;
    state_.playbackEnabled = true;
    Publish();
    FinishMicrophoneTest();
}

void WorkstationCheck::Leave() {
    const bool testing = recorder_.Running();
    player_.Release(playback_);
    playback_ = {};
    // Finished here and now: the exam's recording must not share the microphone with it.
    recorder_.Stop();
    const CheckState idle;
    if (state_ == idle)
        return;
    state_ = idle;
    Publish();
    if (testing)
        FinishMicrophoneTest();
}

void WorkstationCheck::InterviewOpened(const InterviewState&) {
    Leave();
}

void WorkstationCheck::FinishMicrophoneTest() {
    if (const auto silent = microphoneTest_.Finish(steadyNow_()))
        observers_.Tell({*silent, OperatorMessage::Kind::Warning});
}

void WorkstationCheck::TogglePlayback() {
    state_.playbackDown = !state_.playbackDown;
    state_.microphoneDown = false;
    if (state_.playbackDown) {
        StopPlayback(playback_);
        recorder_.RequestStop();
        state_.meterShown = false;
        state_.microphoneRunning = false;
        state_.playbackRunning = true;
        // Nothing is said when the file cannot be played: the button shows "stop" and a click
        // returns to idle.
        playback_ = player_.Play(testRecording_);
    } else {
        StopPlayback(playback_);
    }
    Publish();
    // Pressing the playback toggle ends a running microphone test as well.
    FinishMicrophoneTest();
}

void WorkstationCheck::RecordingFailed() {
    // The failed pass has ended by itself: the check is idle again. Its silence proves nothing.
    microphoneTest_.Finish(steadyNow_());
    state_.microphoneDown = false;
    state_.microphoneRunning = false;
    state_.meterShown = false;
    state_.playbackEnabled = true;
    Publish();
    const std::string failure = recorder_.FailureText();
    const platform::FailureCause cause = recorder_.CauseOfFailure();
    const bool lost = cause.kind == platform::FailureKind::MicrophoneGone;
    observers_.Tell({MicrophoneCheckFailedText(OperatorText(failure, cause)) +
                         (lost ? std::string(".") + CheckMicrophoneLostAdvice : std::string()),
                     OperatorMessage::Kind::Error});
}

} // namespace station
