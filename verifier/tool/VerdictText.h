// The verdicts as the receiver reads them on a terminal or in a log.
#pragma once

#include "verifier/ArchiveCheck.h"

#include <string>

namespace interview_check::tool {

// "OK      <path>  (3 записи, H:MM:SS)" (with ", не состоялись: K" when K participants' recordings
// never started) or "ОШИБКА  <path>: entry: reason; ...". Names are shown with TerminalSafe.
std::string VerdictLine(const ArchiveVerdict& verdict);

// One indented line per recording: name, size, CRC-32, duration, and its fault if any.
std::string RecordingLines(const ArchiveVerdict& verdict);

struct Tally {
    std::size_t sound = 0;
    std::size_t faulty = 0;
    std::size_t unreadable = 0;
    std::size_t warned = 0; // archives with a loudness warning, sound or not
    void Count(const ArchiveVerdict& verdict);
};

std::string SummaryLine(const Tally& tally);

// "M:SS" under an hour, "H:MM:SS" from an hour on, rounded to the second.
std::string DurationText(double seconds);

} // namespace interview_check::tool
