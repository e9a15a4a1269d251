// The recording chain's one exception class: its message, and the cause where the raiser knew it.
#pragma once

#include "platform/FailureCause.h"

#include <stdexcept>
#include <string>

namespace audio {

class EAudioException : public platform::Failure {
public:
    using Failure::Failure;
};

} // namespace audio
