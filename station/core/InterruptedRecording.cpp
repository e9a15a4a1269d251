#include "station/core/InterruptedRecording.h"

#include "platform/FileStream.h"
#include "verifier/Mp3Walk.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace station {

namespace {

// The longest MPEG audio frame (layer III at 320 kbit/s and 32 kHz, padded). A crash leaves less
// than one frame after the last whole one.
constexpr std::int64_t LongestFrame = 1441;

// The length of the MPEG layer III frame whose header starts at `header`; 0 when the four bytes are
// no such header.
std::int64_t Layer3FrameLength(const unsigned char* header) {
    if (header[0] != 0xFF || (header[1] & 0xE0) != 0xE0)
        return 0;
    const int version = (header[1] >> 3) & 0x03; // 0: MPEG 2.5, 2: MPEG 2, 3: MPEG 1
    const int layer = (header[1] >> 1) & 0x03;   // 1: layer III
    const int bitrateIndex = header[2] >> 4;
    const int rateIndex = (header[2] >> 2) & 0x03;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return 0;
    static constexpr int Mpeg1Kbps[] = {0,   32,  40,  48,  56,  64,  80, 96,
                                        112, 128, 160, 192, 224, 256, 320};
    static constexpr int Mpeg2Kbps[] = {0,  8,  16, 24,  32,  40,  48, 56,
                                        64, 80, 96, 112, 128, 144, 160};
    static constexpr int Mpeg1Rates[] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const std::int64_t bitrate = 1000LL * (mpeg1 ? Mpeg1Kbps : Mpeg2Kbps)[bitrateIndex];
    const std::int64_t rate = Mpeg1Rates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    const std::int64_t padding = (header[2] >> 1) & 0x01;
    return (mpeg1 ? 144 : 72) * bitrate / rate + padding;
}

// Whether `tail` holds audio a walk could pick up again: a frame header followed, at that frame's
// length, by another. Zeros a power cut leaves, or junk, hold none; a recording that goes on after
// a damaged stretch does, and is not the station's to cut.
bool HoldsFramesAgain(const std::vector<unsigned char>& tail) {
    for (std::size_t at = 0; at + 4 <= tail.size(); ++at) {
        const std::int64_t length = Layer3FrameLength(&tail[at]);
        if (length == 0)
            continue;
        const std::size_t next = at + static_cast<std::size_t>(length);
        if (next + 4 <= tail.size() && Layer3FrameLength(&tail[next]) != 0)
            return true;
    }
    return false;
}

// The bytes of `file` from `from` to its end.
std::vector<unsigned char> ReadFrom(platform::FileHandle& file, std::int64_t from,
                                    std::int64_t size) {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size - from));
    file.Seek(from, SEEK_SET);
    std::size_t have = 0;
    while (have < bytes.size()) {
        const std::size_t got = file.Read(bytes.data() + have, bytes.size() - have);
        if (got == 0)
            break;
        have += got;
    }
    bytes.resize(have);
    return bytes;
}

} // namespace

std::int64_t CutToWholeFrames(const std::string& fileName) {
    platform::FileHandle file = platform::FileHandle::Open(
        fileName, platform::FileAccess::ReadWrite, platform::FileShare::Read,
        platform::FileDisposition::OpenExisting);
    interview_check::Mp3Walk walk;
    std::vector<unsigned char> buffer(1 << 16);
    std::int64_t size = 0;
    while (const std::size_t got = file.Read(buffer.data(), buffer.size())) {
        walk.Feed(buffer.data(), got);
        size += static_cast<std::int64_t>(got);
    }
    const std::int64_t wholeEnd = walk.WholeFramesEnd();
    if (walk.Frames() == 0 || walk.Finish().failure.empty() || wholeEnd >= size)
        return 0;
    // Less than a frame is what a crash inside a frame leaves; more is cut only when no audio
    // follows in it (the zeros a power cut leaves where the file's size reached the disk before its
    // data, or junk).
    if (size - wholeEnd >= LongestFrame && HoldsFramesAgain(ReadFrom(file, wholeEnd, size)))
        return 0;
    // The walk stopped on the broken tail itself, not on anything before it.
    interview_check::Mp3Walk whole;
    file.Seek(0, SEEK_SET);
    for (std::int64_t left = wholeEnd; left > 0;) {
        const std::size_t got = file.Read(
            buffer.data(),
            static_cast<std::size_t>(std::min<std::int64_t>(left, std::int64_t(buffer.size()))));
        if (got == 0)
            return 0;
        whole.Feed(buffer.data(), got);
        left -= static_cast<std::int64_t>(got);
    }
    if (!whole.Finish().failure.empty())
        return 0;
    file.Truncate(wholeEnd);
    if (const int error = file.SyncData(); error != 0)
        throw platform::SystemFileError(error, "Cannot write file \"" + fileName + "\". ",
                                        platform::FailureKind::FileNotWritten);
    return size - wholeEnd;
}

} // namespace station
