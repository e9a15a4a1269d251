// The interview close: the last recording is finished, the report completed and saved into the
// interview folder, and the whole folder packed into a zip archive on the Desktop and read back,
// on a thread of its own.
#include "station/Naming.h"
#include "station/OperatorTexts.h"
#include "station/Report.h"
#include "station/core/ArchiveWriting.h"
#include "station/core/Attempt.h"
#include "station/core/Calendar.h"
#include "station/core/Interview.h"
#include "station/core/Prompt.h"
#include "station/safeguards/OddEntries.h"

void Interview::Close() {
    const auto turn = TakeTurn(opened_ && exam_.closeShown && !Packing());
    if (!turn)
        return;
    // The last close's packing has ended; its thread is joined here.
    packer_.reset();
    // The last recording's file is complete and its report line appended when this returns.
    StopRecording();
    exam_.banner = RecordingBanner::None;
    PublishExam();

    // No participant was ever recorded: the receiver refuses an archive without a recording line,
    // so none is made, and the interview stays open for the first recording.
    if (report_.ParticipantCount() == 0) {
        observers_.Tell({NoParticipantRecordedText, OperatorMessage::Kind::Error});
        return;
    }
    std::int32_t participants = 0;
    auto saved =
        SaveClosingReport(state_.folder, services_.calendar.Today(), report_, participants);
    if (!saved)
        return;
    ArchiveRequest request = std::move(*saved);
    observers_.Notify([&](StationObserver& observer) {
        observer.ReportSaved({request.reportName, participants});
    });
    exam_.timerShown = false;
    exam_.closeShown = false;
    exam_.exitShown = false;
    exam_.nextEnabled = false;
    // A closed interview takes no further recordings: nothing would report or archive them.
    exam_.startEnabled = false;
    PublishExam();

    if (const auto failure = Attempt([&] {
            request.archivePath =
                ArchiveFileName(services_.desktopFolder(), services_.calendar.Today(),
                                state_.schoolCode6, state_.room3);
        })) {
        ArchiveFinished(request.archivePath, {.proven = false, .text = failure->text});
        return;
    }
    exam_.banner = RecordingBanner::Packing;
    PublishExam();
    packer_ = std::make_unique<ArchivePacker>(
        request,
        [this](const PackingProgress& progress) {
            observers_.Notify(
                [&](StationObserver& observer) { observer.PackingProgressed(progress); });
        },
        [this, archivePath = request.archivePath](const ArchiveOutcome& outcome) {
            exam_.banner = RecordingBanner::None;
            ArchiveFinished(archivePath, outcome);
        });
}

std::optional<ArchiveRequest> Interview::SaveClosingReport(const std::string& folder,
                                                           platform::DateTime day,
                                                           ReportLines& report,
                                                           std::int32_t& participants) {
    // A file the report lists but could not read to its end is told before the report is saved,
    // whichever thread found it.
    TellUnreadable(report);
    // The count names the last participant with a line, a recording that never started included;
    // after a restart the next number is only reserved. A close repeated after a failed save
    // states the count of the moment it saves.
    const interview_format::InterviewReport counted = report.Counted();
    participants = static_cast<std::int32_t>(*counted.participants);
    const std::string reportName = ReportFileName(day, state_.schoolCode6, state_.room3);
    if (const auto failure = Attempt([&] { SaveReport(counted, folder + "/" + reportName); })) {
        observers_.Tell(*failure);
        return std::nullopt;
    }
    return ArchiveRequest{.folder = folder, .reportName = reportName};
}

void Interview::ArchiveFinished(const std::string& archivePath, const ArchiveOutcome& outcome) {
    if (!outcome.skipped.empty())
        observers_.Tell({OddEntriesText(outcome.skipped), OperatorMessage::Kind::Warning});
    const auto tellProof = [&] {
        observers_.Notify([&](StationObserver& observer) {
            observer.ArchiveReadBack({.sound = outcome.proven, .text = outcome.text});
        });
    };
    if (outcome.proven) {
        closed_ = true;
        exam_.exitShown = true;
        PublishExam();
        observers_.Notify([&](StationObserver& observer) { observer.ArchiveWritten(archivePath); });
        tellProof();
        return;
    }
    tellProof();
    // No new archive took the final name (an archive proven before keeps it); the operator can
    // free space or remove the cause and close again, which saves the report anew with its
    // single count line.
    exam_.closeShown = true;
    PublishExam();
    TellArchiveFailure(archivePath, outcome);
}

void Interview::TellArchiveFailure(const std::string& archivePath, const ArchiveOutcome& outcome) {
    observers_.Tell({outcome.damaged ? ArchiveNotCreatedText(archivePath, outcome.text) +
                                           ReceiverRefusesArchiveAdvice
                                     : outcome.text,
                     OperatorMessage::Kind::Error});
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
        packer_->Wait();
    }
    if (!opened_ || closed_ || ended_)
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
