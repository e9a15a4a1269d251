// One interview from its parameters to its archive: the parameters and their checks, readiness
// (the interview folder and the report's header), the participants' recordings one after another,
// and the close (the last recording finished, then InterviewCloser saves the report and packs the
// folder into a zip on the Desktop); RecordingWatch warns of silence and of the disk filling up
// meanwhile. Views call the operations below from their handlers and show what the observers are
// told; every operation runs on the GUI thread.
#pragma once

#include "platform/FolderLock.h"
#include "station/core/ExamState.h"
#include "station/core/InterviewCloser.h"
#include "station/core/InterviewState.h"
#include "station/core/ObserverList.h"
#include "station/core/OperationGate.h"
#include "station/core/Outcome.h"
#include "station/core/Recorder.h"
#include "station/core/RecordingWatch.h"
#include "station/core/ReportLines.h"
#include "station/core/StationServices.h"

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace station {

// The four parameters as typed.
struct ParameterTexts {
    std::string region;
    std::string schoolName;
    std::string schoolCode;
    std::string room;
};

class Interview {
public:
    explicit Interview(const StationServices& services);
    ~Interview();

    ObserverList& Observers() { return observers_; }
    const ExamState& Exam() const { return exam_; }
    std::vector<std::string> Report() const { return report_.Lines(); }

    // "Сохранить параметры": whether the parameters were stored. A missing or unusable one is
    // refused with a notice, and nothing is stored.
    bool SaveParameters(const ParameterTexts& texts);
    // "Подтвердить готовность рабочего места к экзамену": creates the interview folder, claims it
    // for this window (refused when another window holds it), starts the report and opens the
    // interview. Recordings an earlier run left in the folder are kept:
    // numbering goes on after them and they are reported like the new ones.
    bool ConfirmReadiness();

    // "Начать запись": records the current participant.
    void StartRecording();
    // "Следующий участник", after "Вы уверены?": finishes the current file and records the next
    // participant at once.
    void NextParticipant();
    // One second of the timer.
    void Tick();
    // Finishes the recording: the file is complete and its report line appended on return. A
    // failure of that recording that its own event could no longer report is told now.
    void StopRecording();

    // "Завершить собеседование": the report is saved, then the archive written and read back on a
    // thread of its own while the window stays responsive; the outcome comes later, on the GUI
    // thread. When the archive fails it is removed and the close can be used again.
    void Close();
    // Whether the program may end now. While an interview is open it asks first, and finishes
    // the recording when the operator agrees; while its archive is packed it asks too, and waits
    // for the packing to end.
    bool MayQuit();
    // The session ends (logout, shutdown, a signal, the display gone; `cause` says which): the
    // running recording is finished as a stop finishes it, and no operation runs any more. Never
    // refused, also not while an operation waits for the operator's answer.
    void EndSession(const std::string& cause);

    // The operator's operations above (the parameters, readiness, start, next participant, close
    // and quit) are refused, and do nothing, while another one runs (a box of it may be open) or
    // when the interview's state does not offer them. The timer's tick, the stop and the
    // session's end are never refused.
private:
    // Whether the close's archive is being packed or read back.
    bool Packing() const { return closer_.Packing(); }
    // The turn of an operation that the state `allows`; nothing when refused.
    std::optional<OperationGate::Turn> TakeTurn(bool allows);
    void GateChanged();
    // Refused when the code or the room would give a folder, report or archive name longer than
    // the Desktop's file system takes.
    Outcome CheckNameLengths(const ParameterTexts& texts) const;
    // Starts recording the current participant into its file; false when the start failed (told).
    bool StartPass();
    // The running pass failed: told once, and shown on the banner.
    void RecordingFailed();
    // The running pass has lost `lostInPass` of audio so far: told in a box the first time, then
    // kept current on the banner and in the work log.
    void AudioLost(std::chrono::milliseconds lostInPass);
    void ShowRecordingFailure(const std::string& reason, const platform::FailureCause& cause);
    void LevelChanged(std::int64_t position);
    void PublishExam();
    // The warning the watch finds most important, on the banner of the running recording.
    void ShowBanner(RecordingBanner banner);
    // What the page shows while the close goes on.
    void ShowCloseStep(CloseStep step);
    void PublishElapsed();
    // A participant's recording into `filePath` has started, or has been finished by the station.
    void PassStarted(const std::string& filePath);
    // What the finished pass lost that no box has told yet: the message for it, to be told.
    std::optional<OperatorMessage> PassStopped();
    // The note a proven archive gets for the recordings of this run that lost audio; empty when
    // none did.
    std::string LostAudioNote() const;

    const StationServices services_;
    ObserverList observers_;
    InterviewState state_;
    ExamState exam_;
    ReportLines report_;
    platform::DateTime elapsed_ = 0;
    // Held from readiness until the program ends: no second window records into this folder.
    std::optional<platform::FolderLock> folderClaim_;
    bool opened_ = false;
    bool failureReported_ = false; // the running pass's failure has been told
    std::string passFile_;         // the pass the station started and has not finished yet
    bool lossTold_ = false;        // the running pass's loss has been told in a box
    std::chrono::steady_clock::time_point lossLogged_; // when its growth was last logged
    // The recordings of this run that lost audio, by file name, in the order they were finished.
    std::vector<std::pair<std::string, std::chrono::milliseconds>> losses_;
    OperationGate gate_{[this] { GateChanged(); }};
    bool ended_ = false; // the session has ended: nothing more is recorded
    RecordingWatch watch_;
    InterviewCloser closer_;
    // Declared last: destroyed first, while the report and the observers it reaches still exist.
    Recorder recorder_;
};

} // namespace station
