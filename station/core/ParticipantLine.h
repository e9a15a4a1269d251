// The report line of one participant's recording, as the close will list it.
#pragma once

#include <string>

// A pass that never got going (the sound server gone, the source suspended, no room for a new
// file) leaves no file, or a file of a few kilobytes without a single MP3 audio frame: tags and
// the encoder's information frame at most. Such a file holds nothing of the participant and no
// receiver accepts it, so it is removed, and the line marks the recording as never started
// (created 30-12-1899 00.00.00, size -1, checksum 00000000), which the receiver's check accepts
// for a participant without a file. Any other file is listed as it stands. Used for the passes this
// run recorded; what an earlier run left in the folder is kept and listed as it is.
// `tellUnreadable` as for RecordingLine: false when the pass's own failure has been told.
std::string ParticipantLine(const std::string& fileName, bool tellUnreadable = true);
