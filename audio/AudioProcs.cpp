#include "audio/AudioProcs.h"

#include <cstdint>
#include <cstring>

namespace audio {
namespace {

// Exact powers of two: each product is rounded once, to single precision.
constexpr double Scale8 = 1.0 / 128;
constexpr double Scale16 = 1.0 / 32768;
constexpr double Scale24 = 1.0 / 8388608;
constexpr double Scale32 = 1.0 / 2147483648.0;

} // namespace

void Convert8ToFloat(const void* Source, float* Destination, std::size_t Samples) {
    const auto* from = static_cast<const std::uint8_t*>(Source);
    for (std::size_t i = 0; i < Samples; ++i)
        Destination[i] = static_cast<float>(from[i] * Scale8 - 1.0);
}

void Convert16ToFloat(const void* Source, float* Destination, std::size_t Samples) {
    const auto* from = static_cast<const std::uint8_t*>(Source);
    for (std::size_t i = 0; i < Samples; ++i) {
        const auto x = static_cast<std::int16_t>(from[2 * i] | (from[2 * i + 1] << 8));
        Destination[i] = static_cast<float>(x * Scale16);
    }
}

void Convert24ToFloat(const void* Source, float* Destination, std::size_t Samples) {
    const auto* from = static_cast<const std::uint8_t*>(Source);
    for (std::size_t i = 0; i < Samples; ++i) {
        const std::uint8_t* b = from + 3 * i;
        const auto high = static_cast<std::int16_t>(b[1] | (b[2] << 8));
        const std::int32_t x = high * 256 + b[0];
        Destination[i] = static_cast<float>(x * Scale24);
    }
}

void Convert32ToFloat(const void* Source, float* Destination, std::size_t Samples) {
    const auto* from = static_cast<const std::uint8_t*>(Source);
    for (std::size_t i = 0; i < Samples; ++i) {
        std::uint32_t bits = std::uint32_t(from[4 * i]) | (std::uint32_t(from[4 * i + 1]) << 8) |
                             (std::uint32_t(from[4 * i + 2]) << 16) |
                             (std::uint32_t(from[4 * i + 3]) << 24);
        std::int32_t x;
        std::memcpy(&x, &bits, sizeof x);
        Destination[i] = static_cast<float>(x * Scale32);
    }
}

} // namespace audio
