#include "verifier/InterviewNames.h"

#include "interview_format/InterviewNames.h"
#include "interview_format/Report.h"

#include <cctype>
#include <cstdint>

namespace interview_check {

std::string ExpectedFolderName(std::string_view examDate, std::string_view schoolCode,
                               std::string_view room) {
    std::string day;
    for (const char c : examDate)
        if (c != '.')
            day += c;
    return "01-" + day + "-" + std::string(schoolCode) + "-" + std::string(room);
}

bool LooksLikeFolderName(std::string_view name) {
    if (name.size() < 15 || !name.starts_with("01-") || name[11] != '-' ||
        !interview_format::IsCalendarDate(name.substr(3, 8), '\0'))
        return false;
    const std::string_view rest = name.substr(12);
    const std::size_t dash = rest.rfind('-');
    return dash != std::string_view::npos && dash > 0 && dash + 1 < rest.size();
}

bool IsReportNameFor(std::string_view name, std::string_view schoolCode, std::string_view room) {
    const std::string tail = std::string(interview_format::ReportNameTime) +
                             std::string(schoolCode) + "-" + std::string(room) + ".csv";
    return name.size() == 11 + tail.size() && name.starts_with("01-") &&
           interview_format::IsCalendarDate(name.substr(3, 8), '\0') && name.substr(11) == tail;
}

bool HasExtension(std::string_view name, std::string_view extension) {
    if (name.size() < extension.size())
        return false;
    const std::string_view tail = name.substr(name.size() - extension.size());
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != extension[i])
            return false;
    return true;
}

std::optional<std::int64_t> ParticipantNumber(std::string_view name) {
    // The station's own rule for the names it gives recordings.
    return interview_format::ParticipantNumberOf(name);
}

} // namespace interview_check
