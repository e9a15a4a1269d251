#include "platform/FileFacts.h"

#include <dirent.h>
#include <fcntl.h>
#include <memory>
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

std::optional<FileFacts> FactsAt(int folder, const char* path, bool hidden) {
    struct statx facts {};
    const unsigned wanted = STATX_BASIC_STATS | STATX_BTIME;
    if (::statx(folder, path, AT_STATX_SYNC_AS_STAT | AT_SYMLINK_NOFOLLOW, wanted, &facts) != 0)
        return std::nullopt;
    const bool link = S_ISLNK(facts.stx_mode);
    if (link && ::statx(folder, path, AT_STATX_SYNC_AS_STAT, wanted, &facts) != 0)
        return std::nullopt;
    FileFacts result;
    result.modificationTime = FromStatx(facts.stx_mtime);
    result.accessTime = FromStatx(facts.stx_atime);
    result.creationTime =
        (facts.stx_mask & STATX_BTIME) ? FromStatx(facts.stx_btime) : result.modificationTime;
    result.size = static_cast<std::int64_t>(facts.stx_size);
    result.mode = facts.stx_mode;
    result.isDirectory = S_ISDIR(facts.stx_mode);
    result.isHidden = hidden;
    result.isReadOnly = (facts.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    result.isSymbolicLink = link;
    return result;
}

struct FolderCloser {
    void operator()(DIR* folder) const { ::closedir(folder); }
};

} // namespace

std::optional<FileFacts> QueryFileFacts(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    return FactsAt(AT_FDCWD, path.c_str(), NameIsHidden(path));
}

std::vector<FolderEntry> ListFolder(const std::string& folder) {
    std::vector<FolderEntry> entries;
    std::unique_ptr<DIR, FolderCloser> listing(::opendir(folder.empty() ? "." : folder.c_str()));
    if (!listing)
        return entries;
    const int descriptor = ::dirfd(listing.get());
    while (const dirent* item = ::readdir(listing.get())) {
        const std::string name = item->d_name;
        if (name == "." || name == "..")
            continue;
        if (auto facts = FactsAt(descriptor, item->d_name, NameIsHidden(name)))
            entries.push_back({name, *facts});
    }
    return entries;
}

bool IsWritableFolder(const std::string& folder) {
    struct stat facts {};
    return ::stat(folder.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::uint64_t ToFileTime(FileTimestamp timestamp) {
    constexpr std::int64_t SecondsFrom1601To1970 = 11'644'473'600;
    if (timestamp.seconds < -SecondsFrom1601To1970)
        return 0;
    return static_cast<std::uint64_t>(timestamp.seconds + SecondsFrom1601To1970) * 10'000'000u +
           timestamp.nanoseconds / 100;
}

} // namespace platform
