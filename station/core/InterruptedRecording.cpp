#include "station/core/InterruptedRecording.h"

#include "platform/FileStream.h"
#include "verifier/Mp3Walk.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace station {

namespace {

// The longest MPEG audio frame (layer III at 320 kbit/s and 32 kHz, padded). A crash leaves less
// than one frame after the last whole one; more than that is damage of another kind.
constexpr std::int64_t LongestFrame = 1441;

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
    if (walk.Frames() == 0 || walk.Finish().failure.empty() || wholeEnd >= size ||
        size - wholeEnd >= LongestFrame)
        return 0;
    // The walk stopped on the partial frame itself, not on anything before it.
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
