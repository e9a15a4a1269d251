// What a participant's recording holds as it stands on disk, read frame by frame: the one reading
// behind the judgement that a failed start left no audio and behind the length the work log gives
// a finished recording.
#pragma once

#include "verifier/Mp3Walk.h"

#include <chrono>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace station {

// The frames of `fileName`; nothing when there is no regular file at that name (a link, a FIFO
// or a device is never opened), when it cannot be read, or when it is larger than `mostBytes`.
std::optional<interview_check::Mp3Facts>
WalkRecording(const std::string& fileName,
              std::int64_t mostBytes = std::numeric_limits<std::int64_t>::max());

// The audio in the recording `fileName`: its whole MP3 frames, whatever the clock or the capture
// counted meanwhile. Nothing when no recording file is there.
std::optional<std::chrono::milliseconds> AudioInRecording(const std::string& fileName);

} // namespace station
