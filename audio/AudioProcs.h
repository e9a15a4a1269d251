// Conversions of little-endian PCM samples to floats in -1.0 .. 1.0. Each takes the source
// block, the destination and the number of samples (all channels together).
#pragma once

#include <cstddef>

namespace audio {

void Convert8ToFloat(const void* Source, float* Destination, std::size_t Samples);
void Convert16ToFloat(const void* Source, float* Destination, std::size_t Samples);
void Convert24ToFloat(const void* Source, float* Destination, std::size_t Samples);
void Convert32ToFloat(const void* Source, float* Destination, std::size_t Samples);

} // namespace audio
