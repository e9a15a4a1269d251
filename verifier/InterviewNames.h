// The names an interview gives its folder, report and recordings, as a receiver checks them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace interview_check {

// "01-" + day "ddmmyyyy" + "-" + school code + "-" + room, the folder's name as the report's header
// gives it (the exam date "dd.mm.yyyy", the code and the room).
std::string ExpectedFolderName(std::string_view examDate, std::string_view schoolCode,
                               std::string_view room);

// Whether `name` is "01-" + a real day as "ddmmyyyy" + "-" + something + "-" + something.
bool LooksLikeFolderName(std::string_view name);

// Whether `name` is "01-" + a real day as "ddmmyyyy" + "-000000-" + code + "-" + room + ".csv".
bool IsReportNameFor(std::string_view name, std::string_view schoolCode, std::string_view room);

// Whether `name` ends in `extension` (given in lower case, with its dot), letters in any case.
bool HasExtension(std::string_view name, std::string_view extension);

// n for "n.mp3" written as the station numbers participants: decimal, from 1, no leading zero.
std::optional<std::int64_t> ParticipantNumber(std::string_view name);

} // namespace interview_check
