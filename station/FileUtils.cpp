#include "station/FileUtils.h"

#include "platform/FileFacts.h"

namespace station {

bool FileCreationTime(const std::string& fileName, platform::DateTime& time) {
    const auto facts = platform::QueryFileFacts(fileName);
    if (!facts)
        return false;
    time = platform::FromUnixTime(facts->creationTime.seconds, facts->creationTime.nanoseconds);
    return true;
}

std::int64_t FileSizeOf(const std::string& fileName) {
    const auto facts = platform::QueryFileFacts(fileName);
    return facts ? facts->size : -1;
}

} // namespace station
