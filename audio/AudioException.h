// The recording chain's one exception class: it carries only its message.
#pragma once

#include <stdexcept>

namespace audio {

class EAudioException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace audio
