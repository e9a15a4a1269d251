// An earlier day's interview left without its archive (the station crashed or was switched off
// before the close, and starts again after midnight): offered to be closed at readiness, with
// its own date in the report's header, the report's name and the archive's name, on the close's
// own path.
#include "platform/FolderLock.h"
#include "station/ExistingRecordings.h"
#include "station/Naming.h"
#include "station/OperatorTexts.h"
#include "station/Report.h"
#include "station/core/ArchivePacker.h"
#include "station/core/Attempt.h"
#include "station/core/Interview.h"
#include "station/core/ParticipantLine.h"
#include "station/core/Prompt.h"
#include "station/core/UnfinishedInterviews.h"
#include "station/safeguards/InterviewFolderLock.h"

#include <optional>

namespace {

std::string OwnName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

} // namespace

void Interview::OfferToCloseEarlierInterviews() {
    std::string desktop;
    try {
        desktop = services_.desktopFolder();
    } catch (const std::runtime_error&) {
        return; // readiness itself tells that the Desktop cannot be found
    }
    for (const UnfinishedInterview& earlier :
         FindUnfinishedInterviews(desktop, state_.schoolCode6, state_.room3, state_.examDate)) {
        const std::string day = platform::FormatDateTime("dd.mm.yyyy", earlier.day);
        if (!services_.prompt.Confirm({UnfinishedInterviewQuestion(day, OwnName(earlier.folder)),
                                       UnfinishedInterviewTitle}) ||
            ended_)
            continue;
        CloseEarlierInterview(earlier);
    }
}

void Interview::CloseEarlierInterview(const UnfinishedInterview& earlier) {
    // Another window that still records into that folder keeps it; nothing is touched then.
    std::optional<platform::FolderLock> claim;
    try {
        claim.emplace(ClaimInterviewFolder(earlier.folder));
    } catch (const InterviewInUse& refusal) {
        observers_.Tell({refusal.what()});
        return;
    } catch (const platform::FileError&) {
        // A file system without locks: the close goes on, as readiness does.
    }
    InterviewState earlierState = state_;
    earlierState.folder = earlier.folder;
    earlierState.examDate = earlier.day;
    ReportLines report;
    report.Begin(ReportFor(ReportHeadingOf(earlierState)));
    if (const auto failure = Attempt([&] {
            for (const long long number : FindExistingRecordings(earlier.folder).recordings) {
                std::string unreadable;
                report.Add(
                    ResumedParticipantLine(RecordingFileName(earlier.folder, number), unreadable));
                if (!unreadable.empty())
                    report.NoteUnreadable(std::move(unreadable));
            }
        })) {
        observers_.Tell(*failure);
        return;
    }
    std::int32_t participants = 0;
    auto request = SaveClosingReport(earlier.folder, earlier.day, report, participants);
    if (!request)
        return;
    ArchiveOutcome outcome;
    if (const auto failure = Attempt([&] {
            request->archivePath = ArchiveFileName(services_.desktopFolder(), earlier.day,
                                                   state_.schoolCode6, state_.room3);
        })) {
        observers_.Tell({failure->text, OperatorMessage::Kind::Error});
        return;
    }
    {
        // Packed before today's interview opens: the operator has asked for it and waits for it.
        ArchivePacker packer(*request, {}, [&](const ArchiveOutcome& done) { outcome = done; });
        packer.Wait();
    }
    if (!outcome.proven) {
        TellArchiveFailure(request->archivePath, outcome);
        return;
    }
    observers_.Tell({EarlierInterviewClosedText(platform::FormatDateTime("dd.mm.yyyy", earlier.day),
                                                request->reportName, participants,
                                                request->archivePath, outcome.text)});
}
