// For tests and benchmarks: 16-bit mono PCM WAV files, the input the encoder and the player take
// when a test needs sound it knows.
#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace testsupport {

constexpr std::uint32_t WavSampleRate = 44100;

// A sine tone of `frequency` Hz.
inline std::vector<std::int16_t> ToneSamples(double frequency, double seconds,
                                             double amplitude = 8000,
                                             std::uint32_t rate = WavSampleRate) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(
            amplitude * std::sin(2 * 3.14159265358979 * frequency * double(i) / rate));
    return samples;
}

// The whole file: the canonical 44-byte header, then the samples in little-endian order.
inline std::string WavBytes(const std::vector<std::int16_t>& samples,
                            std::uint32_t rate = WavSampleRate) {
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    std::string bytes;
    bytes.reserve(44 + dataSize);
    const auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    };
    bytes += "RIFF";
    put(36 + dataSize, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // mono
    put(rate, 4);
    put(rate * 2, 4);
    put(2, 2);
    put(16, 2);
    bytes += "data";
    put(dataSize, 4);
    for (const std::int16_t sample : samples)
        put(static_cast<std::uint16_t>(sample), 2);
    return bytes;
}

inline void WriteWavFile(const std::string& path, const std::vector<std::int16_t>& samples,
                         std::uint32_t rate = WavSampleRate) {
    const std::string bytes = WavBytes(samples, rate);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write the WAV file " + path);
}

} // namespace testsupport
