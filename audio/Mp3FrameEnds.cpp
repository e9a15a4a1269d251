#include "audio/Mp3FrameEnds.h"

namespace audio {
namespace {

constexpr std::uint32_t Mpeg1Kbps[] = {0,   32,  40,  48,  56,  64,  80,  96,
                                       112, 128, 160, 192, 224, 256, 320, 0};
constexpr std::uint32_t Mpeg2Kbps[] = {0,  8,  16, 24,  32,  40,  48,  56,
                                       64, 80, 96, 112, 128, 144, 160, 0};
constexpr std::uint32_t Mpeg1Rates[] = {44100, 48000, 32000, 0};

} // namespace

std::uint32_t Mp3FrameLength(const std::uint8_t* Header) {
    if (Header[0] != 0xFF || (Header[1] & 0xE0) != 0xE0)
        return 0;
    const unsigned version = (Header[1] >> 3) & 3; // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const unsigned layer = (Header[1] >> 1) & 3;   // 1: Layer III
    if (version == 1 || layer != 1)
        return 0;
    const bool mpeg1 = version == 3;
    const std::uint32_t kbps = (mpeg1 ? Mpeg1Kbps : Mpeg2Kbps)[Header[2] >> 4];
    std::uint32_t rate = Mpeg1Rates[(Header[2] >> 2) & 3];
    if (kbps == 0 || rate == 0)
        return 0;
    rate >>= mpeg1 ? 0 : version == 2 ? 1 : 2;
    const std::uint32_t padding = (Header[2] >> 1) & 1;
    return (mpeg1 ? 144 : 72) * kbps * 1000 / rate + padding;
}

void TMp3FrameEnds::Written(const std::uint8_t* Data, std::size_t Count) {
    const std::int64_t base = FWritten;
    FWritten += static_cast<std::int64_t>(Count);
    while (!FLost) {
        while (FHeaderBytes < FHeader.size()) {
            const std::int64_t at = FFrameStart + static_cast<std::int64_t>(FHeaderBytes);
            if (at >= FWritten)
                return;
            FHeader[FHeaderBytes++] = Data[at - base];
            if (FHeaderBytes == FHeader.size()) {
                const std::uint32_t length = Mp3FrameLength(FHeader.data());
                if (length == 0) {
                    FLost = true;
                    return;
                }
                FFrameEnd = FFrameStart + length;
            }
        }
        if (FFrameEnd > FWritten)
            return;
        FFrameStart = FFrameEnd;
        FHeaderBytes = 0;
    }
}

std::optional<std::int64_t> TMp3FrameEnds::WholeEnd() const {
    if (FLost)
        return std::nullopt;
    return FFrameStart;
}

} // namespace audio
