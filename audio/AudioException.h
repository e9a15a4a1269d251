// The recording chain's one exception class: its message, and the cause where the raiser knew it.
#pragma once

#include "platform/FailureCause.h"

#include <stdexcept>
#include <string>

namespace audio {

class EAudioException : public std::runtime_error, public platform::CausedFailure {
public:
    using std::runtime_error::runtime_error;
    EAudioException(const std::string& message, platform::FailureCause cause)
        : std::runtime_error(message), platform::CausedFailure(cause) {}
};

} // namespace audio
