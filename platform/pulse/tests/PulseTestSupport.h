// Helpers for tests that talk to a real sound server: the shared private server of the test
// command (PULSE_SERVER), or one of the test's own where it must go away.
#pragma once

#include "platform/SoundSystem.h"
#include "testsupport/OwnSoundServer.h"
#include "testsupport/ScopedEnvironmentVariable.h"
#include "testsupport/TestSoundServer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace pulse_test {

// Root mean square of 16-bit samples.
inline double Rms(const std::int16_t* samples, std::size_t count) {
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    return count ? std::sqrt(sum / double(count)) : 0;
}

} // namespace pulse_test
