// What the encoder tests need to judge an MP3 file: its frame headers read by the standard's rules,
// its audio decoded by libmpg123, and test signals to compare the audio with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mp3test {

// What a file without an Info frame decodes to before its first source sample: LAME's encoder delay
// (576) plus the decoder's (529).
constexpr int LameDelaySamples = 576 + 529;

struct FrameHeader {
    std::size_t offset = 0;
    int mpegVersion = 0; // 1, 2 or 25 (MPEG 2.5)
    int layer = 0;
    int bitrateKbps = 0;
    int sampleRate = 0;
    int channelMode = 0; // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    bool crcProtected = false;
    bool copyright = false;
    bool original = false;
    bool privateBit = false;
    std::size_t length = 0;
};

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// The frames from the first byte on (or after an ID3v2 tag), up to a trailing ID3v1 block. Stops
// at the first byte that is not a frame start; `endOffset` then tells where.
struct FrameScan {
    std::vector<FrameHeader> frames;
    std::size_t endOffset = 0;
};
FrameScan ScanFrames(const std::vector<std::uint8_t>& bytes);

struct DecodedAudio {
    long sampleRate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples; // interleaved
};
// Raises std::runtime_error when libmpg123 cannot decode the file.
DecodedAudio DecodeFile(const std::string& path);

std::vector<std::int16_t> Sine(double frequency, double amplitude, int sampleRate, int frames,
                               int channels = 1);

// The best normalised correlation of `decoded` (one channel of it) with `source` over the delays
// 0 .. maxDelay frames, comparing `frames` frames; `delay` receives the delay it was found at.
double BestCorrelation(const std::vector<std::int16_t>& source,
                       const std::vector<std::int16_t>& decoded, int channels, int frames,
                       int maxDelay, int* delay = nullptr);

} // namespace mp3test
