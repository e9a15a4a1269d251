// The receiver's full check of one interview archive: one interview folder named by the rules,
// one report in it named by the rules and well formed, every listed recording present with its
// listed size and CRC-32 and readable as MP3 to its end, nothing unlisted, and the participant
// count matching the recordings. A participant whose recording never started is listed with the
// marks of a missing file (see interview_format::IsNotStarted) and has no file in the archive.
#pragma once

#include "interview_format/Report.h"
#include "verifier/Loudness.h"
#include "verifier/Mp3Walk.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace interview_check {

using interview_format::InterviewReport;
using interview_format::ReportEntry;
using interview_format::ReportProblem;

struct Problem {
    // The entry concerned: a name inside the interview folder, an archive path for entries
    // outside it, or empty for the archive as a whole.
    std::string entry;
    std::string reason;
};

struct RecordingVerdict {
    std::string name;
    std::int64_t size = 0;
    std::uint32_t crc32 = 0;
    bool sound = false;
    bool notStarted = false;               // listed as never started, and rightly absent
    Mp3Facts mp3;                          // meaningful when the entry was read to its end
    std::optional<LoudnessFacts> loudness; // measured for a sound recording when asked for
};

struct ArchiveVerdict {
    std::string archive;  // the path checked
    bool readable = true; // false: the file could not be opened for reading at all
    std::string folder;   // the interview folder found, if any
    std::string reportName;
    std::string reportBytes; // the report as packed, when it could be read
    InterviewReport report;
    std::vector<RecordingVerdict> recordings;
    std::vector<Problem> problems;
    // What may keep a sound recording from being heard (see LoudnessWarnings); never a fault.
    std::vector<Problem> warnings;

    bool Sound() const { return readable && problems.empty(); }
    double Seconds() const;
    // Recordings held in the archive (the participants whose recording never started left none).
    std::size_t RecordingsHeld() const;
};

struct CheckOptions {
    bool decodeAudio = false;     // see Mp3Walk
    bool measureLoudness = false; // decodes the audio and measures every sound recording
};

// Never raises for a fault of the archive: every fault becomes a Problem.
ArchiveVerdict CheckArchive(const std::string& path, const CheckOptions& options = {});

} // namespace interview_check
