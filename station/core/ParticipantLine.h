// The report line of one participant's recording, as the close will list it.
#pragma once

#include <string>

// A pass that never got going (the sound server gone, the source suspended, no room for a new
// file) leaves no file, or a file of a few kilobytes without a single MP3 audio frame: tags and
// the encoder's information frame at most. Such a file holds nothing of the participant and no
// receiver accepts it, so it is removed, and the line marks the recording as never started
// (created 30-12-1899 00.00.00, size -1, checksum 00000000), which the receiver's check accepts
// for a participant without a file. Any other file is listed as it stands. Used for the passes this
// run recorded; for what an earlier run left, see ResumedParticipantLine. `tellUnreadable` as for
// RecordingLine: false when the pass's own failure has been told.
std::string ParticipantLine(const std::string& fileName, bool tellUnreadable = true);

// The line of a recording an earlier run left in the folder: one that a crash or a power cut cut
// off inside a frame is first cut back to its last whole frame (see InterruptedRecording.h), and
// one that holds no audio at all is judged as a failed start above. A file that cannot be mended
// is listed as it stands, for the close's check to name.
std::string ResumedParticipantLine(const std::string& fileName);
