// The report entry of one participant's recording, as the close will list it.
#pragma once

#include "interview_format/Report.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace station {

class ReportLines;

// A participant's entry in the report, and what reading the file for it found.
struct ParticipantEntry {
    interview_format::ReportEntry line;
    // Why the file could not be read to its end, to be told (as RecordingEntry gives it); empty
    // when it could.
    std::string unreadable;
    // The bytes cut off a file an earlier run left ending inside a frame; 0 for none.
    std::int64_t cut = 0;
};

// A pass that never got going (the sound server gone, the source suspended, no room for a new
// file) leaves no file, or a file of a few kilobytes without a single MP3 audio frame: tags and
// the encoder's information frame at most. Such a file holds nothing of the participant and no
// receiver accepts it, so it is removed, and the entry marks the recording as never started
// (created 30-12-1899 00.00.00, size -1, checksum 00000000), which the receiver's check accepts
// for a participant without a file. Any other file is listed as it stands. Used for the passes this
// run recorded; for what an earlier run left, see ResumedParticipantLine. Nothing when a link, a
// FIFO, a folder or another odd entry stands at the name: the pass was refused its output, and the
// close lists the number as never started once a later participant has a line (see
// ReportLines::Counted).
std::optional<ParticipantEntry> ParticipantLine(const std::string& fileName);

// The entry of a recording an earlier run left in the folder, which is the participant's and is
// kept: one that a crash or a power cut cut off inside a frame is first cut back to its last whole
// frame (see InterruptedRecording.h). Only an empty file, all that a power cut before the
// recording's first sync leaves, is removed and listed as a recording that never started. A file
// that cannot be mended is listed as it stands, for the close's check to name.
ParticipantEntry ResumedParticipantLine(const std::string& fileName);

// The entries of the recordings numbered `numbers` that an earlier run left in `folder`, added to
// `report` in that order; each file that could not be read is noted there to be told. Readiness
// and the close of an earlier day's interview take up a folder the same way.
// Returns, for the operator and the log, a text for each recording cut back to its whole frames.
std::vector<std::string> AddResumedRecordings(ReportLines& report, const std::string& folder,
                                              const std::vector<long long>& numbers);

} // namespace station
