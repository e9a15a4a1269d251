// A failed playback call, carrying the code that the caller reads back with BASS_ErrorGetCode.
#pragma once

#include <stdexcept>
#include <string>

namespace platform::player {

class PlaybackError : public std::runtime_error {
public:
    PlaybackError(int code, const std::string& message)
        : std::runtime_error(message), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

} // namespace platform::player
