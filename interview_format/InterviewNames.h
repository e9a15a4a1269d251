// What the station writes and the receiver's check reads back about an interview's names and its
// report; one copy, so that the two sides cannot drift apart.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace interview_format {

// The report's name carries the closing day with its time of day always zero.
inline constexpr std::string_view ReportNameTime = "-000000-";
// A day in a folder, report or archive name.
inline constexpr std::string_view NameDayPattern = "ddmmyyyy";

// The exam date in the report's header.
inline constexpr std::string_view ExamDatePattern = "dd.mm.yyyy";
// A recording's creation time in its report line.
inline constexpr std::string_view FileTimePattern = "dd-mm-yyyy hh.nn.ss";
// The creation time of a recording that is not there: the zero of the date type.
inline constexpr std::string_view MissingFileTime = "30-12-1899 00.00.00";

// "01-" + day "ddmmyyyy" + "-" + school code + "-" + room: the interview folder's name, and the
// stem of its archive's for the closing day.
std::string FolderName(std::string_view day, std::string_view schoolCode, std::string_view room);
// The day of an exam date "dd.mm.yyyy" as a name gives it, "ddmmyyyy".
std::string NameDayOf(std::string_view examDate);
// Whether `name` is "01-" + a real day as "ddmmyyyy" + "-" + something + "-" + something, both
// of them name parts (IsNamePart).
bool LooksLikeFolderName(std::string_view name);
// Whether a school code or room can stand in the folder's, report's and archive's names as they
// are unpacked on any system: not empty and not ending in a space or a dot (Windows drops those
// from a name, so a folder "...-00." could not be made there, and one of spaces not told apart).
bool IsNamePart(std::string_view part);
// Whether the day "ddmmyyyy" `day` comes before `other`; both must be days of that form.
bool DayBefore(std::string_view day, std::string_view other);
// The day "ddmmyyyy" a folder or report name carries after its "01-".
std::string_view DayOfName(std::string_view name);

// "01-" + closing day "ddmmyyyy" + "-000000-" + school code + "-" + room + ".csv".
std::string ReportName(std::string_view day, std::string_view schoolCode, std::string_view room);
// Whether `name` is the report name of that school and room for a real closing day.
bool IsReportNameFor(std::string_view name, std::string_view schoolCode, std::string_view room);

// A participant's recording: the number in decimal, no leading zero, + ".mp3".
std::string RecordingName(long long participant);
// n for a file name written as the station writes participant numbers: n + ".mp3", decimal, no
// leading zero, no sign, and small enough that the next participant's number still fits; nothing
// for any other name.
std::optional<long long> ParticipantNumberOf(std::string_view fileName);

} // namespace interview_format
