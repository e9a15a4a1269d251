// The interview close: the last recording is finished, the report completed and saved into the
// interview folder, and the whole folder packed into a zip archive on the Desktop and read back,
// on a thread of its own.
#include "station/Naming.h"
#include "station/Report.h"
#include "station/core/ArchiveWriting.h"
#include "station/core/Attempt.h"
#include "station/core/Calendar.h"
#include "station/core/Interview.h"
#include "station/core/Prompt.h"
#include "station/safeguards/OddEntries.h"

void Interview::Close() {
    if (Packing())
        return;
    // The last close's packing has ended; its thread is joined here.
    packer_.reset();
    // The last recording's file is complete and its report line appended when this returns.
    StopRecording();
    exam_.banner = RecordingBanner::None;
    PublishExam();

    // No participant was ever recorded: the receiver refuses an archive without a recording line,
    // so none is made, and the interview stays open for the first recording.
    const long long highest = report_.HighestListedParticipant();
    if (highest == 0) {
        observers_.Tell({"Не записан ни один участник: архив без записей приёмная сторона не "
                         "примет, поэтому он не создаётся. Запишите ответы участников, затем "
                         "завершите собеседование.",
                         OperatorMessage::Kind::Error});
        return;
    }
    // A close repeated after a failed save must not leave the earlier count line behind: the
    // report ends with exactly one, written with the count of the moment it is saved.
    report_.DropCountLines();
    // The count names the last participant with a line, a recording that never started included;
    // after a restart the next number is only reserved.
    const auto participants = static_cast<std::int32_t>(highest);
    report_.Append(CountLine(participants));
    const std::string reportName =
        ReportFileName(services_.calendar.Today(), state_.schoolCode6, state_.room3);
    if (const auto failure =
            Attempt([&] { SaveReport(report_.Lines(), state_.folder + "/" + reportName); })) {
        observers_.Tell(*failure);
        return;
    }
    observers_.Notify([&](StationObserver& observer) {
        observer.ReportSaved({reportName, participants});
    });
    exam_.timerShown = false;
    exam_.closeShown = false;
    exam_.exitShown = false;
    exam_.nextEnabled = false;
    // A closed interview takes no further recordings: nothing would report or archive them.
    exam_.startEnabled = false;
    PublishExam();

    ArchiveRequest request{.folder = state_.folder, .reportName = reportName};
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
    observers_.Tell({outcome.damaged ? "Не удалось создать архив собеседования " + archivePath +
                                           ": " + outcome.text +
                                           " Приёмная сторона такой архив не примет. Устраните "
                                           "причину и завершите собеседование ещё раз."
                                     : outcome.text,
                     OperatorMessage::Kind::Error});
}

bool Interview::MayQuit() {
    if (Packing()) {
        if (!services_.prompt.Confirm({"Архив ещё упаковывается. Выйти из программы?", ""}))
            return false;
        packer_->Wait();
    }
    if (!opened_ || closed_)
        return true;
    if (!services_.prompt.Confirm({"Собеседование не завершено. Выйти из программы?", ""}))
        return false;
    // The participant's file must be complete before anything is torn down.
    StopRecording();
    return true;
}
