#include "platform/FileFacts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

FileTimestamp FromStatx(const struct statx_timestamp& time) {
    return {time.tv_sec, time.tv_nsec};
}

bool NameIsHidden(const std::string& path) {
    std::string::size_type end = path.find_last_not_of('/');
    if (end == std::string::npos)
        return false;
    const std::string::size_type slash = path.find_last_of('/', end);
    const std::string::size_type start = slash == std::string::npos ? 0 : slash + 1;
    const std::string name = path.substr(start, end + 1 - start);
    return name.size() > 1 && name[0] == '.' && name != "..";
}

} // namespace

std::optional<FileFacts> QueryFileFacts(const std::string& path) {
    struct statx facts {};
    if (path.empty() || ::statx(AT_FDCWD, path.c_str(), AT_STATX_SYNC_AS_STAT,
                                STATX_BASIC_STATS | STATX_BTIME, &facts) != 0)
        return std::nullopt;
    FileFacts result;
    result.modificationTime = FromStatx(facts.stx_mtime);
    result.creationTime =
        (facts.stx_mask & STATX_BTIME) ? FromStatx(facts.stx_btime) : result.modificationTime;
    result.size = static_cast<std::int64_t>(facts.stx_size);
    result.isDirectory = S_ISDIR(facts.stx_mode);
    result.isHidden = NameIsHidden(path);
    result.isReadOnly = (facts.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return result;
}

bool IsWritableFolder(const std::string& folder) {
    struct stat facts {};
    return ::stat(folder.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::uint64_t ToFileTime(FileTimestamp timestamp) {
    constexpr std::int64_t SecondsFrom1601To1970 = 11'644'473'600;
    return static_cast<std::uint64_t>(timestamp.seconds + SecondsFrom1601To1970) * 10'000'000u +
           timestamp.nanoseconds / 100;
}

} // namespace platform
