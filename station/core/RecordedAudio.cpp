#include "station/core/RecordedAudio.h"

#include "platform/FileStream.h"

#include <cmath>
#include <vector>

namespace station {

std::optional<interview_check::Mp3Facts> WalkRecording(const std::string& fileName,
                                                       std::int64_t mostBytes) {
    try {
        platform::FileHandle file = platform::FileHandle::Open(
            fileName, platform::FileAccess::Read, platform::FileShare::ReadWrite,
            platform::FileDisposition::OpenExisting);
        if (file.Size() > mostBytes)
            return std::nullopt;
        interview_check::Mp3Walk walk;
        std::vector<unsigned char> buffer(1 << 16);
        while (const std::size_t got = file.Read(buffer.data(), buffer.size()))
            walk.Feed(buffer.data(), got);
        return walk.Finish();
    } catch (const platform::FileError&) {
        return std::nullopt;
    }
}

std::optional<std::chrono::milliseconds> AudioInRecording(const std::string& fileName) {
    const auto facts = WalkRecording(fileName);
    if (!facts)
        return std::nullopt;
    return std::chrono::milliseconds(std::llround(facts->seconds * 1000));
}

} // namespace station
