// The report's lines that both sides spell the same way: the station writes them, the receiver's
// check reads them back (in Windows-1251 on disk; the text here is UTF-8).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace interview_format {

// The last line of a report: this prefix and the participant count.
inline constexpr std::string_view CountLinePrefix = "Участников;";

std::string CountLine(std::int32_t participants);
bool IsCountLine(std::string_view line);

// The line of a participant whose recording never started: no file, so the zero date, size -1 and
// checksum 00000000, which the receiver's check accepts for a participant without a file.
std::string NotStartedLine(std::string_view recordingName);

// A CRC-32 as a report line gives it: 8 upper-case hex digits.
std::string ChecksumText(std::uint32_t crc);

} // namespace interview_format
