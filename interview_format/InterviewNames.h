// What the station writes and the receiver's check reads back about an interview's names and its
// report; one copy, so that the two sides cannot drift apart.
#pragma once

#include <optional>
#include <string_view>

namespace interview_format {

// The report's name carries the closing day with its time of day always zero.
inline constexpr std::string_view ReportNameTime = "-000000-";

// The exam date in the report's header.
inline constexpr std::string_view ExamDatePattern = "dd.mm.yyyy";
// A recording's creation time in its report line.
inline constexpr std::string_view FileTimePattern = "dd-mm-yyyy hh.nn.ss";
// The creation time of a recording that is not there: the zero of the date type.
inline constexpr std::string_view MissingFileTime = "30-12-1899 00.00.00";

// n for a file name written as the station writes participant numbers: n + ".mp3", decimal, no
// leading zero, no sign, and small enough that the next participant's number still fits; nothing
// for any other name.
std::optional<long long> ParticipantNumberOf(std::string_view fileName);

} // namespace interview_format
