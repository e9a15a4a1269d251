#include "archive/FileSystem.h"

#include <algorithm>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace archive {
namespace {

constexpr std::uint64_t UnixEpochInFileTimeSeconds = 11644473600ULL;

TFileTime ToFileTime(const struct statx_timestamp& stamp) {
    if (stamp.tv_sec < -static_cast<std::int64_t>(UnixEpochInFileTimeSeconds))
        return 0;
    return (static_cast<std::uint64_t>(stamp.tv_sec + UnixEpochInFileTimeSeconds)) * 10000000ULL +
           stamp.tv_nsec / 100;
}

std::string LastComponent(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::size_t slash = trimmed.find_last_of('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

std::optional<TSearchRec> FactsAt(int folder, const char* path, std::string name) {
    struct statx facts {};
    const unsigned mask =
        STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME;
    if (::statx(folder, path, AT_STATX_SYNC_AS_STAT | AT_SYMLINK_NOFOLLOW, mask, &facts) != 0)
        return std::nullopt;
    // A link stands for what it points to (a dangling one for nothing), but is marked so that a
    // folder walk never follows one into a loop.
    const bool link = S_ISLNK(facts.stx_mode);
    if (link && ::statx(folder, path, AT_STATX_SYNC_AS_STAT, mask, &facts) != 0)
        return std::nullopt;

    TSearchRec entry;
    entry.Name = std::move(name);
    entry.Size = S_ISDIR(facts.stx_mode) ? 0 : static_cast<std::int64_t>(facts.stx_size);
    std::uint32_t attributes = 0;
    if (S_ISDIR(facts.stx_mode))
        attributes |= faDirectory;
    if (!entry.Name.empty() && entry.Name.front() == '.')
        attributes |= faHidden;
    if ((facts.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        attributes |= faReadOnly;
    if (link)
        attributes |= faReparsePoint;
    if (attributes == 0)
        attributes = faNormal;
    entry.Attributes =
        attributes | faUnixExtension | (static_cast<std::uint32_t>(facts.stx_mode & 0xFFFF) << 16);

    entry.LastAccessTime = ToFileTime(facts.stx_atime);
    entry.LastWriteTime = ToFileTime(facts.stx_mtime);
    // File systems without a birth time report the modification time instead.
    entry.CreationTime =
        (facts.stx_mask & STATX_BTIME) ? ToFileTime(facts.stx_btime) : entry.LastWriteTime;
    return entry;
}

struct FolderCloser {
    void operator()(DIR* folder) const { ::closedir(folder); }
};

} // namespace

std::optional<TSearchRec> ReadFileFacts(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    return FactsAt(AT_FDCWD, path.c_str(), LastComponent(path));
}

std::vector<TSearchRec> ListFolder(const std::string& folder) {
    std::vector<TSearchRec> entries;
    std::unique_ptr<DIR, FolderCloser> listing(::opendir(folder.empty() ? "." : folder.c_str()));
    if (!listing)
        return entries;
    const int descriptor = ::dirfd(listing.get());
    while (const dirent* item = ::readdir(listing.get())) {
        const std::string name = item->d_name;
        if (name == "." || name == "..")
            continue;
        // An entry that vanished between listing and asking is simply not there.
        if (auto facts = FactsAt(descriptor, item->d_name, name))
            entries.push_back(std::move(*facts));
    }
    std::sort(entries.begin(), entries.end(),
              [](const TSearchRec& a, const TSearchRec& b) { return a.Name < b.Name; });
    return entries;
}

TFileTime CurrentFileTime() {
    using namespace std::chrono;
    const auto since = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
    return static_cast<TFileTime>(since / 100) + UnixEpochInFileTimeSeconds * 10000000ULL;
}

} // namespace archive
