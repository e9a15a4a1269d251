// The interview report while it is being built. The recording worker hands in the entry of each
// finished file while the GUI thread starts the report and closes it, so every access goes through
// the lock inside. Entries stay values until the report is written: nothing reads its own lines
// back.
#pragma once

#include "interview_format/Report.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace station {

class ReportLines {
public:
    static constexpr std::size_t MostUnlistedParticipants = 1000;

    // Takes the header's values of `heading`; entries already handed in stay.
    void Begin(const interview_format::InterviewReport& heading);
    void Add(interview_format::ReportEntry entry);
    // The count as the entries state it now (see interview_format::ParticipantCount).
    std::int64_t ParticipantCount() const;
    // The report with its count stated as of this moment, for saving: a close repeated after a
    // failed save states the count of the moment it saves, once. Every participant the count
    // covers without a line is listed as a recording that never started (at most
    // MostUnlistedParticipants of them).
    interview_format::InterviewReport Counted();
    // Lists each recording for which `gone(name)` holds as one that never started: its file was
    // removed or moved out after it was listed (a botched recording), and a line the archive
    // cannot match would make the receiver refuse it.
    void ListGoneAsNotStarted(const std::function<bool(const std::string& name)>& gone);
    // The lines as they stand, none before the report has begun.
    std::vector<std::string> Lines() const;
    // A recording that could not be read to its end is listed all the same; why it could not is
    // kept here until the GUI thread tells it.
    void NoteUnreadable(std::string failure);
    std::vector<std::string> TakeUnreadable();

private:
    mutable std::mutex lock_;
    bool begun_ = false;
    interview_format::InterviewReport report_;
    std::vector<std::string> unreadable_;
};

} // namespace station
