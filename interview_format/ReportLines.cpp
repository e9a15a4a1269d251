#include "interview_format/ReportLines.h"

#include <cinttypes>
#include <cstdio>

namespace interview_format {

std::string CountLine(std::int32_t participants) {
    return std::string(CountLinePrefix) + std::to_string(participants);
}

std::string ChecksumText(std::uint32_t crc) {
    char text[16];
    std::snprintf(text, sizeof text, "%08" PRIX32, crc);
    return text;
}

} // namespace interview_format
