// The interview's close: the report completed and saved into the interview folder, the whole
// folder packed into a zip archive on the Desktop and read back on a thread of its own, and the
// outcome told. Also the close of an earlier day's interview left without its archive. GUI thread
// only.
#pragma once

#include "platform/DateTime.h"
#include "station/core/ArchivePacker.h"
#include "station/core/ArchiveWriting.h"
#include "station/core/InterviewState.h"
#include "station/core/ObserverList.h"
#include "station/core/Outcome.h"
#include "station/core/StationServices.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace station {

class ReportLines;
struct UnfinishedInterview;

// How far the close has got, for what the exam page shows; the interview shows it.
enum class CloseStep {
    Begun,       // the recordings are finished: the banner is cleared
    ReportSaved, // no recording and no close any more, and no timer
    Packing,     // the archive is being packed and read back
    Proven,      // the archive is proven: the program may be left
    Failed,      // the archive failed and is removed: the close can be used again
};

// The close's report as saved, and what the archive is made of (without its path).
struct ClosingReport {
    ArchiveRequest request;
    std::int32_t participants = 0;
};

class InterviewCloser {
public:
    // `state` is the open interview's; `stepReached` hears how far the close has got, on the GUI
    // thread. `sessionEnded` says whether the session has ended meanwhile.
    InterviewCloser(StationServices services, ObserverList& observers, const InterviewState& state,
                    std::function<void(CloseStep)> stepReached, std::function<bool()> sessionEnded);

    // Closes the interview whose recordings are all finished and listed in `report`: the report
    // is saved, then the archive written and read back on a thread of its own; the outcome comes
    // later, on the GUI thread. When the archive fails it is removed and the close can be used
    // again. `lostAudioNote` is added to the proof of a sound archive: the checksums prove the
    // files, not that they hold every second of the answers.
    void Close(ReportLines& report, const std::string& lostAudioNote);
    // Whether the close's archive is being packed or read back. Over once its outcome has been
    // told, although the packing thread may take a moment more to end: the close the outcome
    // offers again must not be refused meanwhile.
    bool Packing() const { return packing_; }
    // Returns once the close's packing, if any, has ended and its outcome has been told.
    void WaitForPacking();
    // Whether the archive is written and proven: the interview is over.
    bool Closed() const { return closed_; }
    // At readiness: an earlier day's interview of this school and room that was left without its
    // archive is offered to be closed now, with that day's date.
    void OfferToCloseEarlierInterviews();

private:
    // The day the close's report and archive are named by: today, but never before the day the
    // interview began.
    platform::DateTime ClosingDay() const;
    // The close's report for `folder`, dated `day` in its name: the count line set in `report` and
    // the report saved in the folder, as `saved`.
    Outcome SaveClosingReport(const std::string& folder, platform::DateTime day,
                              ReportLines& report, ClosingReport& saved);
    void CloseEarlierInterview(const UnfinishedInterview& earlier);
    void TellArchiveFailure(const std::string& archivePath, const ArchiveOutcome& outcome);
    // The close's archive is written and proven, or has failed and been removed.
    void ArchiveFinished(const std::string& archivePath, const ArchiveOutcome& outcome);

    const StationServices services_;
    ObserverList& observers_;
    const InterviewState& state_;
    const std::function<void(CloseStep)> stepReached_;
    const std::function<bool()> sessionEnded_;
    bool closed_ = false;
    bool packing_ = false;                  // from the packer's start until its outcome is told
    std::unique_ptr<ArchivePacker> packer_; // the last close's archive
};

} // namespace station
