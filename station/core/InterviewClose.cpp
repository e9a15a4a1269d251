// The operations around the interview's close: the close itself, the program's quit and the
// session's end.
#include "station/OperatorTexts.h"
#include "station/core/Interview.h"
#include "station/core/Prompt.h"

namespace station {

void Interview::Close() {
    const auto turn = TakeTurn(opened_ && exam_.closeShown && !Packing());
    if (!turn)
        return;
    // The last recording's file is complete and its report line appended when this returns.
    StopRecording();
    // The loss of the last participant's recording is named by the archive's proof from now on.
    exam_.lostAudio = std::chrono::milliseconds(0);
    closer_.Close(report_, LostAudioNote());
}

void Interview::ShowCloseStep(CloseStep step) {
    switch (step) {
    case CloseStep::Begun:
        exam_.banner = RecordingBanner::None;
        break;
    case CloseStep::ReportSaved:
        exam_.timerShown = false;
        exam_.closeShown = false;
        exam_.exitShown = false;
        exam_.nextEnabled = false;
        exam_.startEnabled = false;
        break;
    case CloseStep::Packing:
        exam_.banner = RecordingBanner::Packing;
        break;
    case CloseStep::Proven:
        exam_.banner = RecordingBanner::None;
        exam_.exitShown = true;
        break;
    case CloseStep::Failed:
        exam_.banner = RecordingBanner::None;
        exam_.closeShown = true;
        break;
    }
    PublishExam();
}

bool Interview::MayQuit() {
    if (ended_)
        return true;
    // Not while another operation waits for the operator: its box is answered first.
    const auto turn = TakeTurn(true);
    if (!turn)
        return false;
    if (Packing()) {
        if (!services_.prompt.Confirm({QuitWhilePackingQuestion, ""}))
            return false;
        closer_.WaitForPacking();
    }
    if (!opened_ || closer_.Closed() || ended_)
        return true;
    if (!services_.prompt.Confirm({QuitUnfinishedQuestion, ""}))
        return ended_;
    // The participant's file must be complete before anything is torn down.
    StopRecording();
    return true;
}

void Interview::EndSession(const std::string& cause) {
    if (ended_)
        return;
    ended_ = true;
    observers_.Notify([&](StationObserver& observer) { observer.SessionEnding(cause); });
    // The file is complete, tagged and its line reported before the program goes on to end.
    StopRecording();
    exam_.startEnabled = false;
    exam_.nextEnabled = false;
    exam_.timerRunning = false;
    PublishExam();
}

} // namespace station
