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
    std::string Entry;
    std::string Reason;
};

struct RecordingVerdict {
    std::string Name;
    std::int64_t Size = 0;
    std::uint32_t Crc32 = 0;
    bool Sound = false;
    bool NotStarted = false;               // listed as never started, and rightly absent
    Mp3Facts Mp3;                          // meaningful when the entry was read to its end
    std::optional<LoudnessFacts> Loudness; // measured for a sound recording when asked for
};

struct ArchiveVerdict {
    std::string Archive;  // the path checked
    bool Readable = true; // false: the file could not be opened for reading at all
    std::string Folder;   // the interview folder found, if any
    std::string ReportName;
    std::string ReportBytes; // the report as packed, when it could be read
    InterviewReport Report;
    std::vector<RecordingVerdict> Recordings;
    std::vector<Problem> Problems;
    // What may keep a sound recording from being heard (see LoudnessWarnings); never a fault.
    std::vector<Problem> Warnings;

    bool Sound() const { return Readable && Problems.empty(); }
    double Seconds() const;
    // Recordings held in the archive (the participants whose recording never started left none).
    std::size_t RecordingsHeld() const;
};

struct CheckOptions {
    bool DecodeAudio = false;     // see Mp3Walk
    bool MeasureLoudness = false; // decodes the audio and measures every sound recording
};

// Never raises for a fault of the archive: every fault becomes a Problem.
ArchiveVerdict CheckArchive(const std::string& path, const CheckOptions& options = {});

} // namespace interview_check
