#include "interview_format/InterviewNames.h"

#include "interview_format/Report.h"

#include <cstdint>

namespace interview_format {
namespace {

constexpr std::string_view Prefix = "01-";
// "01-" + "ddmmyyyy"
constexpr std::size_t PrefixAndDay = 11;

bool StartsWithADay(std::string_view name) {
    return name.size() >= PrefixAndDay && name.starts_with(Prefix) &&
           IsCalendarDate(name.substr(Prefix.size(), PrefixAndDay - Prefix.size()), '\0');
}

} // namespace

std::string FolderName(std::string_view day, std::string_view schoolCode, std::string_view room) {
    return std::string(Prefix) + std::string(day) + "-" + std::string(schoolCode) + "-" +
           std::string(room);
}

std::string NameDayOf(std::string_view examDate) {
    std::string day;
    for (const char c : examDate)
        if (c != '.')
            day += c;
    return day;
}

bool LooksLikeFolderName(std::string_view name) {
    if (name.size() < 15 || !StartsWithADay(name) || name[PrefixAndDay] != '-')
        return false;
    const std::string_view rest = name.substr(PrefixAndDay + 1);
    const std::size_t dash = rest.rfind('-');
    return dash != std::string_view::npos && IsNamePart(rest.substr(0, dash)) &&
           IsNamePart(rest.substr(dash + 1));
}

bool IsNamePart(std::string_view part) {
    return !part.empty() && part.back() != ' ' && part.back() != '.';
}

bool DayBefore(std::string_view day, std::string_view other) {
    const auto sortable = [](std::string_view d) {
        return std::string(d.substr(4, 4)) + std::string(d.substr(2, 2)) +
               std::string(d.substr(0, 2));
    };
    return sortable(day) < sortable(other);
}

std::string_view DayOfName(std::string_view name) {
    return name.substr(Prefix.size(), PrefixAndDay - Prefix.size());
}

std::string ReportName(std::string_view day, std::string_view schoolCode, std::string_view room) {
    return std::string(Prefix) + std::string(day) + std::string(ReportNameTime) +
           std::string(schoolCode) + "-" + std::string(room) + ".csv";
}

bool IsReportNameFor(std::string_view name, std::string_view schoolCode, std::string_view room) {
    return StartsWithADay(name) &&
           name == ReportName(name.substr(Prefix.size(), PrefixAndDay - Prefix.size()), schoolCode,
                              room);
}

std::string RecordingName(long long participant) {
    return std::to_string(participant) + ".mp3";
}

std::optional<long long> ParticipantNumberOf(std::string_view name) {
    constexpr std::string_view Suffix = ".mp3";
    if (name.size() <= Suffix.size() || !name.ends_with(Suffix))
        return std::nullopt;
    const std::string_view digits = name.substr(0, name.size() - Suffix.size());
    if (digits.size() > 10 || digits[0] == '0')
        return std::nullopt;
    long long number = 0;
    for (const char digit : digits) {
        if (digit < '0' || digit > '9')
            return std::nullopt;
        number = number * 10 + (digit - '0');
    }
    // The next participant's number must still fit.
    if (number >= INT32_MAX)
        return std::nullopt;
    return number;
}

} // namespace interview_format
