// The exam day's work log: an observer of the interview and of its workstation check that writes
// every event worth explaining afterwards as one line of the station's log, naming the interview
// it belongs to. Subscribe it first (ObserverList::SubscribeFirst): a failure is then written
// when it happens, not once the operator has closed its box. It never disturbs the
// interview: a line that cannot be written is the log's own concern.
#pragma once

#include "station/core/StationObserver.h"

namespace station {

class StationLog;

class WorkLog : public StationObserver {
public:
    explicit WorkLog(StationLog& log) : log_(log) {}

    void MessageForOperator(const OperatorMessage& message) override;
    void ParametersSaved(const InterviewState& state) override;
    void InterviewOpened(const InterviewState& state) override;
    void RecordingStarted(const std::string& filePath) override;
    void RecordingStopped(const FinishedRecording& recording) override;
    void Warning(const std::string& text) override;
    void SessionEnding(const std::string& cause) override;
    void ReportSaved(const SavedReport& report) override;
    void ArchiveWritten(const std::string& archivePath) override;
    void ArchiveReadBack(const ArchiveProof& proof) override;

private:
    StationLog& log_;
};

} // namespace station
