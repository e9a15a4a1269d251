// The warnings that let an interview go on: too little room on the Desktop's disk at readiness and
// while recording, and a microphone gone silent during a recording. The banner shows them for as
// long as they hold; the recording itself is never stopped for them. GUI thread only.
#pragma once

#include "station/core/ExamState.h"
#include "station/core/InterviewState.h"
#include "station/core/ObserverList.h"
#include "station/core/StationServices.h"
#include "station/safeguards/SilenceWatch.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace station {

class RecordingWatch {
public:
    // `state` names the interview folder whose disk is watched; `exam` is what the page shows, and
    // `showBanner` asks for the banner of the warning that matters most when it changes.
    RecordingWatch(StationServices services, ObserverList& observers, const InterviewState& state,
                   const ExamState& exam, std::function<void(RecordingBanner)> showBanner);

    void WarnOfSpaceAtReadiness();
    // A participant's recording has started, or the station has finished it: only a running pass
    // is watched.
    void PassStarted();
    void PassStopped() { watching_ = false; }
    // The meter of the exam's recording moved.
    void LevelChanged(std::int64_t position);
    // Once a second while the interview is open.
    void WatchRecording();
    // Puts the warning that matters most on the banner of a running recording; a failure stays,
    // and nothing changes once the pass has stopped.
    void ShowRecordingWarnings();

private:
    const StationServices services_;
    ObserverList& observers_;
    const InterviewState& state_;
    const ExamState& exam_;
    const std::function<void(RecordingBanner)> showBanner_;
    bool watching_ = false;
    std::chrono::steady_clock::time_point passStart_;
    SilenceWatch silence_;
    bool lowSpace_ = false;
    std::optional<std::chrono::steady_clock::time_point> lastSpaceCheck_;
};

} // namespace station
