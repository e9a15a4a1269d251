#include "station/core/WorkLog.h"

#include "platform/PathNames.h"
#include "station/Naming.h"
#include "station/OperatorTexts.h"
#include "station/safeguards/StationLog.h"

namespace station {

void WorkLog::MessageForOperator(const OperatorMessage& message) {
    switch (message.kind) {
    case OperatorMessage::Kind::Error:
        log_.Failure(message.text);
        return;
    case OperatorMessage::Kind::Warning:
        log_.Warning(message.text);
        return;
    case OperatorMessage::Kind::Notice:
        break;
    }
    // Notices carry refusals and failures of their own steps as well: all of them are kept.
    log_.Write(NoticeLogText(message.text));
}

void WorkLog::ParametersSaved(const InterviewState& state) {
    log_.SetInterview(InterviewStem(state.examDate, state.schoolCode6, state.room3));
    log_.ParametersSaved(state.region, state.schoolName, state.schoolCode6, state.room3);
}

void WorkLog::InterviewOpened(const InterviewState& state) {
    log_.SetInterview(platform::FileNameOf(state.folder));
    log_.ReadinessConfirmed(state.folder);
}

void WorkLog::RecordingStarted(const std::string& filePath) {
    log_.RecordingStarted(platform::FileNameOf(filePath));
}

void WorkLog::RecordingStopped(const FinishedRecording& recording) {
    // A file that was never made has no length to give, and must not read as recorded.
    if (!recording.made) {
        log_.RecordingNotMade(platform::FileNameOf(recording.filePath));
        return;
    }
    log_.RecordingStopped(platform::FileNameOf(recording.filePath), recording.duration,
                          recording.lost);
}

void WorkLog::Warning(const std::string& text) {
    log_.Warning(text);
}

void WorkLog::SessionEnding(const std::string& cause) {
    log_.Write(SessionEndingLogText(cause));
}

void WorkLog::ReportSaved(const SavedReport& report) {
    log_.InterviewClosed(report.fileName, report.participants);
}

void WorkLog::ArchiveWritten(const std::string& archivePath) {
    log_.ArchiveWritten(archivePath);
}

void WorkLog::ArchiveReadBack(const ArchiveProof& proof) {
    // A damaged archive reaches the operator, and so this log, as a failure of its own.
    if (proof.sound)
        log_.Write(proof.text);
}

} // namespace station
