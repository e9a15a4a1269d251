// A failed playback call, carrying the code that the caller reads back with BASS_ErrorGetCode.
#pragma once

#include "platform/FailureCause.h"

#include <string>

namespace platform::player {

class PlaybackError : public Failure {
public:
    PlaybackError(int code, const std::string& message) : Failure(message), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

} // namespace platform::player
