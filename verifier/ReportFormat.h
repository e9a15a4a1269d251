// Reading an interview report: semicolon-separated Windows-1251 text, every line ending in CR LF,
// five header lines, one line per recording and the participant count last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace interview_check {

// name ; creation time "dd-mm-yyyy hh.nn.ss" ; size in bytes ; CRC-32 as 8 upper-case hex digits.
struct RecordingLine {
    std::string Name;
    std::string Created;
    std::int64_t Size = 0;
    std::uint32_t Crc32 = 0;
    std::size_t LineNumber = 0; // 1-based line of the report; 0 when parsed on its own
};

struct ReportProblem {
    std::size_t LineNumber = 0; // 0: the report as a whole
    std::string Reason;
};

struct InterviewReport {
    // The header's values as UTF-8, empty where the header is malformed.
    std::string ExamDate; // "dd.mm.yyyy"
    std::string Region;
    std::string SchoolCode;
    std::string SchoolName;
    std::string Room;
    std::vector<RecordingLine> Recordings;
    std::optional<std::int64_t> Participants;
    std::vector<ReportProblem> Problems; // empty for a well-formed report
};

InterviewReport ParseReport(std::string_view bytes);

// The line of a participant whose recording never started (no file, or a file that held no MP3
// frame and was removed): created 30-12-1899 00.00.00, size -1, checksum 00000000.
bool IsNotStartedLine(const RecordingLine& line);

// One recording line without its line end, as the report holds it (ASCII, so the station's UTF-8
// lines parse the same). On a malformed line returns nothing and sets `reason`.
std::optional<RecordingLine> ParseRecordingLine(std::string_view line, std::string& reason);

// "dd.mm.yyyy" or "ddmmyyyy" (by `separator`, '\0' for none) naming a real calendar day.
bool IsCalendarDate(std::string_view text, char separator);

} // namespace interview_check
