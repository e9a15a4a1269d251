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

// A CRC-32 as a report line gives it: 8 upper-case hex digits.
std::string ChecksumText(std::uint32_t crc);

} // namespace interview_format
