// What the station's core tells the views. Every notification has an empty default, so an observer
// overrides only what it shows, and a new notification changes no existing observer. All of them
// arrive on the GUI thread.
#pragma once

#include "platform/DateTime.h"
#include "station/core/ArchiveWriting.h"
#include "station/core/CheckState.h"
#include "station/core/ExamState.h"
#include "station/core/InterviewState.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace station {

// Something the operator must read: a refusal, a notice, or a failure with the library's text.
struct OperatorMessage {
    enum class Kind {
        Notice,  // a plain box
        Error,   // an error box (a failed step)
        Warning, // a warning box: the work may go on, but the operator should act
    };
    std::string text;
    Kind kind = Kind::Notice;
};

// The report saved by the close.
struct SavedReport {
    std::string fileName; // without its folder
    std::int32_t participants = 0;
};

// A participant's recording that the station has finished.
struct FinishedRecording {
    std::string filePath;
    // Whether the pass left its file; one that never started has none (its report line says so).
    bool made = false;
    std::chrono::seconds duration{0};  // the audio in the file
    std::chrono::milliseconds lost{0}; // audio the pass lost on its way into the file
};

// The close's archive read back: "Архив проверен: ..." when sound, otherwise why it failed.
struct ArchiveProof {
    bool sound = false;
    std::string text;
};

class StationObserver {
public:
    virtual ~StationObserver() = default;

    virtual void MessageForOperator(const OperatorMessage& message) { (void)message; }

    // The parameters are stored.
    virtual void ParametersSaved(const InterviewState& state) { (void)state; }
    // Readiness confirmed: the interview folder exists and the report is started.
    virtual void InterviewOpened(const InterviewState& state) { (void)state; }
    virtual void ParticipantChanged(std::int32_t participant) { (void)participant; }
    virtual void ExamChanged(const ExamState& state) { (void)state; }
    // The current participant's recording time.
    virtual void ElapsedChanged(platform::DateTime elapsed) { (void)elapsed; }
    // The level meter of the chain this observer listens to (0 to 100).
    virtual void LevelChanged(std::int64_t position) { (void)position; }
    // A participant's recording into `filePath` has started, or the station has finished it.
    virtual void RecordingStarted(const std::string& filePath) { (void)filePath; }
    virtual void RecordingStopped(const FinishedRecording& recording) { (void)recording; }
    // The session ends (`cause`: a signal's name, or the display lost); the running recording is
    // finished next.
    virtual void SessionEnding(const std::string& cause) { (void)cause; }
    // Something the exam page shows on its banner while the recording goes on (no box).
    virtual void Warning(const std::string& text) { (void)text; }

    // The close: the report is saved, then the archive written.
    virtual void ReportSaved(const SavedReport& report) { (void)report; }
    virtual void ArchiveWritten(const std::string& archivePath) { (void)archivePath; }
    // While the archive is packed: files and bytes done of the total.
    virtual void PackingProgressed(const PackingProgress& progress) { (void)progress; }
    virtual void ArchiveReadBack(const ArchiveProof& proof) { (void)proof; }

    virtual void CheckChanged(const CheckState& state) { (void)state; }
};

} // namespace station
