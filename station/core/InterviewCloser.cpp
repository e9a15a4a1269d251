#include "station/core/InterviewCloser.h"

#include "interview_format/InterviewNames.h"
#include "platform/DiskSync.h"
#include "platform/PathNames.h"
#include "station/ExistingRecordings.h"
#include "station/Naming.h"
#include "station/OperatorTexts.h"
#include "station/Report.h"
#include "station/core/Attempt.h"
#include "station/core/Calendar.h"
#include "station/core/FolderClaim.h"
#include "station/core/ParticipantLine.h"
#include "station/core/Prompt.h"
#include "station/core/ReportLines.h"
#include "station/core/UnfinishedInterviews.h"
#include "station/core/UnreadableRecordings.h"
#include "station/safeguards/OddEntries.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <utility>

namespace station {

namespace {

// The reports an earlier close of this interview saved under another day's name (a close that
// failed before midnight, repeated after it): the archive holds one report, and the receiver
// refuses a second one. They are the station's own, superseded by the one just saved.
void RemoveEarlierReports(const std::string& folder, const std::string& reportName,
                          const std::string& schoolCode6, const std::string& room3) {
    namespace fs = std::filesystem;
    std::error_code error;
    bool removed = false;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        std::error_code typeError;
        if (name != reportName && interview_format::IsReportNameFor(name, schoolCode6, room3) &&
            entry->symlink_status(typeError).type() == fs::file_type::regular)
            removed = fs::remove(entry->path(), typeError) || removed;
    }
    // A removal the disk never learnt would bring the old report back after a power cut. A failed
    // sync is no failure of the close: the next close removes the report again.
    if (!removed)
        return;
    try {
        platform::SyncFolder(folder);
    } catch (const platform::FileError&) {
    }
}

} // namespace

InterviewCloser::InterviewCloser(StationServices services, ObserverList& observers,
                                 const InterviewState& state,
                                 std::function<void(CloseStep)> stepReached,
                                 std::function<bool()> sessionEnded)
    : services_(std::move(services)), observers_(observers), state_(state),
      stepReached_(std::move(stepReached)), sessionEnded_(std::move(sessionEnded)) {}

void InterviewCloser::WaitForPacking() {
    if (packer_)
        packer_->Wait();
}

void InterviewCloser::Close(ReportLines& report, const std::string& lostAudioNote) {
    // The last close's packing has ended; its thread is joined here.
    packer_.reset();
    stepReached_(CloseStep::Begun);

    // No participant was ever recorded: the receiver refuses an archive without a recording line,
    // so none is made, and the interview stays open for the first recording.
    if (report.ParticipantCount() == 0) {
        observers_.Tell({NoParticipantRecordedText, OperatorMessage::Kind::Error});
        return;
    }
    ClosingReport saved;
    if (const Outcome done = SaveClosingReport(state_.folder, ClosingDay(), report, saved); !done) {
        observers_.Tell(done.Message());
        return;
    }
    ArchiveRequest request = std::move(saved.request);
    observers_.Notify([&](StationObserver& observer) {
        observer.ReportSaved({request.reportName, saved.participants});
    });
    // A closed interview takes no further recordings: nothing would report or archive them.
    stepReached_(CloseStep::ReportSaved);

    if (const Outcome named = Attempt([&] {
            request.archivePath = ArchiveFileName(services_.desktopFolder(), ClosingDay(),
                                                  state_.schoolCode6, state_.room3);
        });
        !named) {
        ArchiveFinished(request.archivePath, {.proven = false, .text = named.Message().text});
        return;
    }
    stepReached_(CloseStep::Packing);
    packing_ = true;
    packer_ = std::make_unique<ArchivePacker>(
        request,
        [this](const PackingProgress& progress) {
            observers_.Notify(
                [&](StationObserver& observer) { observer.PackingProgressed(progress); });
        },
        [this, archivePath = request.archivePath, lostAudioNote](const ArchiveOutcome& outcome) {
            // Ends also when telling the outcome fails: a close stuck as packing could never be
            // used again.
            const struct PackingEnds {
                bool& packing;
                ~PackingEnds() { packing = false; }
            } ends{packing_};
            ArchiveOutcome told = outcome;
            if (told.proven)
                told.text += lostAudioNote;
            ArchiveFinished(archivePath, told);
        });
}

platform::DateTime InterviewCloser::ClosingDay() const {
    // A close on a later day carries that day; a clock set back during the interview must not
    // date the close before the interview's own day, which the receiver refuses.
    return std::max(services_.calendar.Today(), state_.examDate);
}

Outcome InterviewCloser::SaveClosingReport(const std::string& folder, platform::DateTime day,
                                           ReportLines& report, ClosingReport& saved) {
    // A file the report lists but could not read to its end is told before the report is saved,
    // whichever thread found it.
    TellUnreadable(report, observers_);
    // The count names the last participant with a line, a recording that never started included;
    // after a restart the next number is only reserved. A close repeated after a failed save
    // states the count of the moment it saves.
    std::string gone;
    report.ListGoneAsNotStarted([&](const std::string& name) {
        std::error_code error;
        const bool missing = std::filesystem::symlink_status(folder + "/" + name, error).type() ==
                             std::filesystem::file_type::not_found;
        if (missing)
            gone += (gone.empty() ? "" : ", ") + name.substr(0, name.find('.'));
        return missing;
    });
    if (!gone.empty())
        observers_.Tell({ParticipantsWithoutRecordingText(gone), OperatorMessage::Kind::Warning});
    const interview_format::InterviewReport counted = report.Counted();
    const std::string reportName = ReportFileName(day, state_.schoolCode6, state_.room3);
    if (Outcome written = Attempt([&] { SaveReport(counted, folder + "/" + reportName); });
        !written)
        return written;
    RemoveEarlierReports(folder, reportName, state_.schoolCode6, state_.room3);
    saved = {.request = {.folder = folder, .reportName = reportName},
             .participants = static_cast<std::int32_t>(*counted.participants)};
    return Outcome::Done();
}

void InterviewCloser::ArchiveFinished(const std::string& archivePath,
                                      const ArchiveOutcome& outcome) {
    if (!outcome.skipped.empty())
        observers_.Tell({OddEntriesText(outcome.skipped), OperatorMessage::Kind::Warning});
    if (!outcome.hidden.empty())
        observers_.Tell({HiddenEntriesLeftOutText(outcome.hidden)});
    const auto tellProof = [&] {
        observers_.Notify([&](StationObserver& observer) {
            observer.ArchiveReadBack({.sound = outcome.proven, .text = outcome.text});
        });
    };
    if (outcome.proven) {
        closed_ = true;
        stepReached_(CloseStep::Proven);
        observers_.Notify([&](StationObserver& observer) { observer.ArchiveWritten(archivePath); });
        tellProof();
        return;
    }
    tellProof();
    // No new archive took the final name (an archive proven before keeps it); the operator can
    // free space or remove the cause and close again, which saves the report anew with its
    // single count line.
    stepReached_(CloseStep::Failed);
    TellArchiveFailure(archivePath, outcome);
}

void InterviewCloser::TellArchiveFailure(const std::string& archivePath,
                                         const ArchiveOutcome& outcome) {
    observers_.Tell({outcome.damaged ? ArchiveNotCreatedText(archivePath, outcome.text) +
                                           ReceiverRefusesArchiveAdvice
                                     : outcome.text,
                     OperatorMessage::Kind::Error});
}

// An earlier day's interview left without its archive (the station crashed or was switched off
// before the close, and starts again after midnight): offered to be closed at readiness, with
// its own date in the report's header, the report's name and the archive's name, on the close's
// own path.
void InterviewCloser::OfferToCloseEarlierInterviews() {
    std::string desktop;
    try {
        desktop = services_.desktopFolder();
    } catch (const std::exception&) {
        return; // readiness itself tells that the Desktop cannot be found
    }
    for (const UnfinishedInterview& earlier :
         FindUnfinishedInterviews(desktop, state_.schoolCode6, state_.room3, state_.examDate)) {
        const std::string day =
            platform::FormatDateTime(interview_format::ExamDatePattern, earlier.day);
        if (!services_.prompt.Confirm(
                {UnfinishedInterviewQuestion(day, platform::FileNameOf(earlier.folder)),
                 UnfinishedInterviewTitle}) ||
            sessionEnded_())
            continue;
        CloseEarlierInterview(earlier);
    }
}

void InterviewCloser::CloseEarlierInterview(const UnfinishedInterview& earlier) {
    // Another window that still records into that folder keeps it; nothing is touched then.
    // A file system without locks: the close goes on, as readiness does.
    FolderClaim claim;
    if (const Outcome claimed = ClaimFolder(earlier.folder, claim); !claimed) {
        observers_.Tell(claimed.Message());
        return;
    }
    InterviewState earlierState = state_;
    earlierState.folder = earlier.folder;
    earlierState.examDate = earlier.day;
    ReportLines report;
    report.Begin(ReportFor(ReportHeadingOf(earlierState)));
    std::vector<std::string> mended;
    if (const Outcome resumed = Attempt([&] {
            mended = AddResumedRecordings(report, earlier.folder,
                                          FindExistingRecordings(earlier.folder).recordings);
        });
        !resumed) {
        observers_.Tell(resumed.Message());
        return;
    }
    for (const std::string& text : mended)
        observers_.Tell({text, OperatorMessage::Kind::Warning});
    ClosingReport saved;
    if (const Outcome done = SaveClosingReport(earlier.folder, earlier.day, report, saved); !done) {
        observers_.Tell(done.Message());
        return;
    }
    ArchiveRequest& request = saved.request;
    const std::int32_t participants = saved.participants;
    ArchiveOutcome outcome;
    if (const Outcome named = Attempt([&] {
            request.archivePath = ArchiveFileName(services_.desktopFolder(), earlier.day,
                                                  state_.schoolCode6, state_.room3);
        });
        !named) {
        observers_.Tell(named.Message());
        return;
    }
    {
        // Packed before today's interview opens: the operator has asked for it and waits for it.
        ArchivePacker packer(request, {}, [&](const ArchiveOutcome& done) { outcome = done; });
        packer.Wait();
    }
    if (!outcome.proven) {
        TellArchiveFailure(request.archivePath, outcome);
        return;
    }
    observers_.Tell({EarlierInterviewClosedText(
        platform::FormatDateTime(interview_format::ExamDatePattern, earlier.day),
        request.reportName, participants, request.archivePath, outcome.text)});
}

} // namespace station
