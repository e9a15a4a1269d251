#include "platform/lame_enc/tests/Mp3TestTools.h"

#include <mpg123.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <numbers>
#include <stdexcept>

namespace mp3test {
namespace {

constexpr int BitratesV1L3[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                  112, 128, 160, 192, 224, 256, 320, 0};
constexpr int BitratesV2L3[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
constexpr int RatesV1[3] = {44100, 48000, 32000};

bool ParseHeader(const std::uint8_t* b, FrameHeader& header) {
    if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0)
        return false;
    const int versionBits = (b[1] >> 3) & 3;
    const int layerBits = (b[1] >> 1) & 3;
    const int bitrateIndex = b[2] >> 4;
    const int rateIndex = (b[2] >> 2) & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3)
        return false;
    header.mpegVersion = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    header.layer = 4 - layerBits;
    if (header.layer != 3)
        return false;
    const bool v1 = header.mpegVersion == 1;
    header.bitrateKbps = v1 ? BitratesV1L3[bitrateIndex] : BitratesV2L3[bitrateIndex];
    header.sampleRate = RatesV1[rateIndex] / (v1 ? 1 : header.mpegVersion == 2 ? 2 : 4);
    header.crcProtected = (b[1] & 1) == 0;
    const int padding = (b[2] >> 1) & 1;
    header.privateBit = (b[2] & 1) != 0;
    header.channelMode = b[3] >> 6;
    header.copyright = (b[3] & 8) != 0;
    header.original = (b[3] & 4) != 0;
    header.length = static_cast<std::size_t>(
        (v1 ? 144 : 72) * header.bitrateKbps * 1000 / header.sampleRate + padding);
    return true;
}

} // namespace

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

FrameScan ScanFrames(const std::vector<std::uint8_t>& bytes) {
    FrameScan scan;
    std::size_t offset = 0;
    if (bytes.size() >= 10 && bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3')
        offset = 10 + ((bytes[6] & 0x7Fu) << 21 | (bytes[7] & 0x7Fu) << 14 |
                       (bytes[8] & 0x7Fu) << 7 | (bytes[9] & 0x7Fu));
    while (offset + 4 <= bytes.size()) {
        FrameHeader header;
        if (!ParseHeader(&bytes[offset], header) || offset + header.length > bytes.size())
            break;
        header.offset = offset;
        scan.frames.push_back(header);
        offset += header.length;
    }
    scan.endOffset = offset;
    return scan;
}

DecodedAudio DecodeFile(const std::string& path) {
    int error = MPG123_OK;
    std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> handle(mpg123_new(nullptr, &error),
                                                                    mpg123_delete);
    if (!handle)
        throw std::runtime_error("mpg123_new failed");
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(handle.get());
    for (const long rate : {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L})
        mpg123_format(handle.get(), rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(handle.get(), path.c_str()) != MPG123_OK)
        throw std::runtime_error("mpg123 cannot open " + path);
    DecodedAudio audio;
    int encoding = 0;
    std::vector<unsigned char> buffer(65536);
    for (;;) {
        std::size_t done = 0;
        const int result = mpg123_read(handle.get(), buffer.data(), buffer.size(), &done);
        if (result == MPG123_NEW_FORMAT)
            mpg123_getformat(handle.get(), &audio.sampleRate, &audio.channels, &encoding);
        const auto* samples = reinterpret_cast<const std::int16_t*>(buffer.data());
        audio.samples.insert(audio.samples.end(), samples, samples + done / 2);
        if (result == MPG123_DONE)
            break;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
            throw std::runtime_error(std::string("mpg123: ") + mpg123_strerror(handle.get()));
    }
    mpg123_close(handle.get());
    return audio;
}

std::vector<std::int16_t> Sine(double frequency, double amplitude, int sampleRate, int frames,
                               int channels) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i) {
        const double value =
            amplitude * 32767.0 * std::sin(2 * std::numbers::pi * frequency * i / sampleRate);
        for (int c = 0; c < channels; ++c)
            samples[static_cast<std::size_t>(i) * channels + c] =
                static_cast<std::int16_t>(std::lround(value));
    }
    return samples;
}

double BestCorrelation(const std::vector<std::int16_t>& source,
                       const std::vector<std::int16_t>& decoded, int channels, int frames,
                       int maxDelay, int* delay) {
    double best = -1;
    for (int lag = 0; lag <= maxDelay; ++lag) {
        if (static_cast<std::size_t>(lag + frames) * channels > decoded.size() ||
            static_cast<std::size_t>(frames) > source.size())
            break;
        double sxy = 0, sxx = 0, syy = 0;
        for (int i = 0; i < frames; ++i) {
            const double x = source[static_cast<std::size_t>(i)];
            const double y = decoded[static_cast<std::size_t>(i + lag) * channels];
            sxy += x * y;
            sxx += x * x;
            syy += y * y;
        }
        const double r = sxx > 0 && syy > 0 ? sxy / std::sqrt(sxx * syy) : 0;
        if (r > best) {
            best = r;
            if (delay)
                *delay = lag;
        }
    }
    return best;
}

} // namespace mp3test
