#include "station/core/ReportLines.h"

#include <utility>

namespace station {

void ReportLines::Begin(const interview_format::InterviewReport& heading) {
    std::lock_guard guard(lock_);
    begun_ = true;
    report_.examDate = heading.examDate;
    report_.region = heading.region;
    report_.schoolCode = heading.schoolCode;
    report_.schoolName = heading.schoolName;
    report_.room = heading.room;
}

void ReportLines::Add(interview_format::ReportEntry entry) {
    std::lock_guard guard(lock_);
    report_.recordings.push_back(std::move(entry));
}

std::int64_t ReportLines::ParticipantCount() const {
    std::lock_guard guard(lock_);
    return interview_format::ParticipantCount(report_.recordings);
}

interview_format::InterviewReport ReportLines::Counted() {
    std::lock_guard guard(lock_);
    // A number the count covers without a line (a failed start an earlier run only kept in memory,
    // a botched file the operator removed, a name refused as a link) would make the receiver refuse
    // the archive for ever. More gaps than a room's day has participants are a stray file's number,
    // left for the check to name.
    interview_format::ListUnlistedAsNotStarted(report_.recordings, MostUnlistedParticipants);
    report_.participants = interview_format::ParticipantCount(report_.recordings);
    return report_;
}

void ReportLines::ListGoneAsNotStarted(const std::function<bool(const std::string& name)>& gone) {
    std::lock_guard guard(lock_);
    for (interview_format::ReportEntry& entry : report_.recordings)
        if (!interview_format::IsNotStarted(entry) && gone(entry.name))
            entry = interview_format::NotStartedEntry(entry.name);
}

std::vector<std::string> ReportLines::Lines() const {
    std::lock_guard guard(lock_);
    if (!begun_)
        return {};
    return interview_format::FormatLines(report_);
}

void ReportLines::NoteUnreadable(std::string failure) {
    std::lock_guard guard(lock_);
    unreadable_.push_back(std::move(failure));
}

std::vector<std::string> ReportLines::TakeUnreadable() {
    std::lock_guard guard(lock_);
    return std::exchange(unreadable_, {});
}

} // namespace station
