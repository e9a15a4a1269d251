// The interview report as both sides know it: five header lines, one line per recording and the
// participant count last, semicolon-separated, in Windows-1251 with CR LF after every line. The
// station formats it from these values and the receiver's check parses the bytes back into them,
// so that what one writes the other reads by the same rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace interview_format {

// name ; creation time "dd-mm-yyyy hh.nn.ss" ; size in bytes ; CRC-32 as 8 upper-case hex digits.
struct ReportEntry {
    std::string name;
    std::string created;
    std::int64_t size = 0;
    std::uint32_t crc32 = 0;
    std::size_t lineNumber = 0; // 1-based line of a parsed report; 0 otherwise
};

struct ReportProblem {
    std::size_t lineNumber = 0; // 0: the report as a whole
    std::string reason;
};

struct InterviewReport {
    // The header's values as UTF-8; a parsed report leaves empty those its header lacks.
    std::string examDate; // "dd.mm.yyyy"
    std::string region;
    std::string schoolCode;
    std::string schoolName;
    std::string room;
    std::vector<ReportEntry> recordings;
    // The count line's value; a report still being written has none yet.
    std::optional<std::int64_t> participants;
    std::vector<ReportProblem> problems; // of a parsed report; empty for a well-formed one
};

// The entry of a participant whose recording never started (no file, or a file that held no MP3
// frame and was removed): created 30-12-1899 00.00.00, size -1, checksum 00000000.
ReportEntry NotStartedEntry(std::string_view recordingName);
bool IsNotStarted(const ReportEntry& entry);

// How many participants the count line states: the highest participant number with a line, a
// recording that never started included, since every number up to it must have its line; 0 when
// no line names a participant.
std::int64_t ParticipantCount(const std::vector<ReportEntry>& recordings);

// The participants below the highest one with a line that have none, ascending; at most `limit`
// of them (a stray recording numbered in the millions would otherwise ask for millions).
std::vector<std::int64_t> UnlistedParticipants(const std::vector<ReportEntry>& recordings,
                                               std::size_t limit);
// Every participant the count covers must have a line, and a number without a recording is a
// participant whose recording never started (a failed start, a botched file removed, a name the
// station refused to write through): each such number gets that line, and the lines are put in
// participant order. False, and nothing changed, when more than `limit` numbers have no line.
bool ListUnlistedAsNotStarted(std::vector<ReportEntry>& recordings, std::size_t limit);

// The report's lines as UTF-8 text, without line ends; the count line only where there is a count.
std::vector<std::string> FormatLines(const InterviewReport& report);
std::string FormatEntry(const ReportEntry& entry);
// The bytes as stored: each line in Windows-1251 followed by CR LF, no byte-order mark.
std::string FormatReport(const InterviewReport& report);

// The stored bytes read back; what is wrong with them is in `problems`, with its line.
InterviewReport ParseReport(std::string_view bytes);

// One recording line without its line end, as the report holds it (ASCII, so UTF-8 text parses
// the same). On a malformed line returns nothing and sets `reason`.
std::optional<ReportEntry> ParseEntry(std::string_view line, std::string& reason);

// "dd.mm.yyyy" or "ddmmyyyy" (by `separator`, '\0' for none) naming a real calendar day.
bool IsCalendarDate(std::string_view text, char separator);

} // namespace interview_format
