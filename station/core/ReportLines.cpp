#include "station/core/ReportLines.h"

#include "interview_format/InterviewNames.h"
#include "station/Report.h"

#include <algorithm>
#include <utility>

namespace {

// The five header lines come first; count lines can only follow them.
constexpr std::size_t HeaderLineCount = 5;

} // namespace

void ReportLines::Append(std::string line) {
    std::lock_guard guard(lock_);
    lines_.push_back(std::move(line));
}

void ReportLines::Append(const std::vector<std::string>& lines) {
    std::lock_guard guard(lock_);
    lines_.insert(lines_.end(), lines.begin(), lines.end());
}

void ReportLines::DropCountLines() {
    std::lock_guard guard(lock_);
    if (lines_.size() <= HeaderLineCount)
        return;
    lines_.erase(std::remove_if(lines_.begin() + HeaderLineCount, lines_.end(), IsCountLine),
                 lines_.end());
}

long long ReportLines::HighestListedParticipant() const {
    std::lock_guard guard(lock_);
    long long highest = 0;
    for (std::size_t i = HeaderLineCount; i < lines_.size(); ++i) {
        const std::string& line = lines_[i];
        // name ; time ; size ; checksum
        const std::size_t nameEnd = line.find(';');
        if (nameEnd == std::string::npos)
            continue;
        if (const auto number = interview_format::ParticipantNumberOf(line.substr(0, nameEnd)))
            highest = std::max(highest, *number);
    }
    return highest;
}

std::vector<std::string> ReportLines::Lines() const {
    std::lock_guard guard(lock_);
    return lines_;
}

void ReportLines::NoteUnreadable(std::string failure) {
    std::lock_guard guard(lock_);
    unreadable_.push_back(std::move(failure));
}

std::vector<std::string> ReportLines::TakeUnreadable() {
    std::lock_guard guard(lock_);
    return std::exchange(unreadable_, {});
}
