// The workstation check: the microphone test records the test file while a meter moves, and the
// playback test plays that file back. Both are toggles of one group. The check is over once the
// interview opens (there is no way back to its page): it observes the interview for that.
#pragma once

#include "station/core/CheckState.h"
#include "station/core/ObserverList.h"
#include "station/core/Player.h"
#include "station/core/Recorder.h"
#include "station/core/StationObserver.h"
#include "station/safeguards/SilenceWatch.h"

#include <chrono>
#include <functional>

#include <memory>
#include <string>

namespace station {

struct StationServices;

class WorkstationCheck : public StationObserver {
public:
    explicit WorkstationCheck(const StationServices& services);
    ~WorkstationCheck() override;

    ObserverList& Observers() { return observers_; }
    const CheckState& State() const { return state_; }
    // The playback that runs; all zero when none does.
    const Playback& CurrentPlayback() const { return playback_; }
    Recorder& TestRecorder() { return recorder_; }

    // A click on the microphone toggle: switches the test recording on or off, releasing a
    // playback first.
    void ToggleMicrophone();
    // A click on the playback toggle: plays the test file, or stops its playback.
    void TogglePlayback();
    // A playback has played out. Callable from any thread: the handles belong to the GUI thread,
    // which releases the playback there unless the operator has already moved on to another one.
    void PlaybackEnded(const Playback& ended);
    // The check's page is left: a microphone test still running is finished (its file complete
    // when this returns) and a playback released, so that neither records nor sounds behind the
    // exam.
    void Leave();

    // The interview has opened: its page replaces the check's.
    void InterviewOpened(const InterviewState& state) override;

private:
    // Ends the microphone test (asynchronously) and releases `playback`; the toggles' up or down
    // state is not touched.
    void StopPlayback(const Playback& playback);
    void EndPlayback(const Playback& ended);
    void RecordingFailed();
    // A microphone test has just been switched off: a silent one is told.
    void FinishMicrophoneTest();
    void Publish();

    Player& player_;
    const std::string testRecording_;
    const std::function<std::chrono::steady_clock::time_point()> steadyNow_;
    MicrophoneTestWatch microphoneTest_;
    ObserverList observers_;
    CheckState state_;
    Playback playback_;
    // Tells a late end of playback, handed to the GUI thread, whether the check still exists.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    Recorder recorder_;
};

} // namespace station
