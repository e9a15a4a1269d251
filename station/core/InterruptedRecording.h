// A recording that a crash or a power cut interrupted ends where the disk's last sync left it,
// usually inside a frame, or with a tail of zeros where the file's size reached the disk before
// its data; no receiver accepts such a file, and the close would refuse the archive for ever. What
// the file holds up to its last whole frame is the participant's answer, so the file is cut back to
// it when the interview is resumed.
#pragma once

#include <cstdint>
#include <string>

namespace station {

// Cuts `fileName` back to the end of its last whole MP3 frame when, and only when, everything
// before that is a sound recording and what follows is less than one frame, or holds no further
// audio frame (zeros, junk): a recording that goes on after a damaged stretch is left as it is for
// the close to name. Returns the number of bytes cut (0 when
// the file was whole, or not the station's to mend); the file is synced after a cut. Raises
// platform::FileError when the file cannot be read or cut.
std::int64_t CutToWholeFrames(const std::string& fileName);

} // namespace station
