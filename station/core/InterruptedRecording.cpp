#include "station/core/InterruptedRecording.h"

#include "audio/Mp3FrameEnds.h"
#include "platform/FileStream.h"
#include "verifier/Mp3Walk.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace station {

namespace {

// The longest MPEG audio frame (layer III at 320 kbit/s and 32 kHz, padded). A crash leaves less
// than one frame after the last whole one.
constexpr std::int64_t LongestFrame = 1441;

// Whether `tail` holds audio a walk could pick up again: a frame header followed, at that frame's
// length, by another. Zeros a power cut leaves, or junk, hold none; a recording that goes on after
// a damaged stretch does, and is not the station's to cut.
bool HoldsFramesAgain(const std::vector<std::uint8_t>& tail) {
    for (std::size_t at = 0; at + 4 <= tail.size(); ++at) {
        const std::uint32_t length = audio::Mp3FrameLength(&tail[at]);
        if (length == 0)
            continue;
        const std::size_t next = at + static_cast<std::size_t>(length);
        if (next + 4 <= tail.size() && audio::Mp3FrameLength(&tail[next]) != 0)
            return true;
    }
    return false;
}

// The bytes of `file` from `from` to its end.
std::vector<std::uint8_t> ReadFrom(platform::FileHandle& file, std::int64_t from,
                                   std::int64_t size) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size - from));
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
    std::vector<std::uint8_t> buffer(1 << 16);
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
    file.SyncData();
    return size - wholeEnd;
}

} // namespace station
