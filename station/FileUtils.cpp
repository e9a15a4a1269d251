#include "station/FileUtils.h"

#include "platform/FileFacts.h"

bool FileCreationTime(const std::string& FileName, TDateTime& Time) {
    const auto facts = platform::QueryFileFacts(FileName);
    if (!facts)
        return false;
    Time = platform::FromUnixTime(facts->creationTime.seconds, facts->creationTime.nanoseconds);
    return true;
}

std::int64_t FileSizeOf(const std::string& FileName) {
    const auto facts = platform::QueryFileFacts(FileName);
    return facts ? facts->size : -1;
}
