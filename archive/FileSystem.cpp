#include "archive/FileSystem.h"

#include "platform/FileFacts.h"

#include <algorithm>
#include <chrono>

namespace archive {
namespace {

constexpr std::uint64_t UnixEpochInFileTimeSeconds = 11644473600ULL;

std::string LastComponent(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::size_t slash = trimmed.find_last_of('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

TSearchRec ToSearchRec(std::string name, const platform::FileFacts& facts) {
    TSearchRec entry;
    entry.Name = std::move(name);
    entry.Size = facts.isDirectory ? 0 : facts.size;
    std::uint32_t attributes = 0;
    if (facts.isDirectory)
        attributes |= faDirectory;
    if (facts.isHidden)
        attributes |= faHidden;
    if (facts.isReadOnly)
        attributes |= faReadOnly;
    // Marked so that a folder walk never follows a link into a loop.
    if (facts.isSymbolicLink)
        attributes |= faReparsePoint;
    if (attributes == 0)
        attributes = faNormal;
    entry.Attributes = attributes | faUnixExtension | ((facts.mode & 0xFFFF) << 16);
    entry.LastAccessTime = platform::ToFileTime(facts.accessTime);
    entry.LastWriteTime = platform::ToFileTime(facts.modificationTime);
    entry.CreationTime = platform::ToFileTime(facts.creationTime);
    return entry;
}

} // namespace

std::optional<TSearchRec> ReadFileFacts(const std::string& path) {
    const auto facts = path.empty() ? std::nullopt : platform::QueryFileFacts(path);
    if (!facts)
        return std::nullopt;
    return ToSearchRec(LastComponent(path), *facts);
}

std::vector<TSearchRec> ListFolder(const std::string& folder) {
    std::vector<TSearchRec> entries;
    for (const platform::FolderEntry& entry : platform::ListFolder(folder))
        entries.push_back(ToSearchRec(entry.name, entry.facts));
    std::sort(entries.begin(), entries.end(),
              [](const TSearchRec& a, const TSearchRec& b) { return a.Name < b.Name; });
    return entries;
}

bool IsRegularFileEntry(const TSearchRec& entry) {
    constexpr std::uint32_t TypeBits = 0170000;
    constexpr std::uint32_t RegularType = 0100000;
    return (entry.Attributes & (faDirectory | faReparsePoint)) == 0 &&
           (entry.Attributes & faUnixExtension) != 0 &&
           ((entry.Attributes >> 16) & TypeBits) == RegularType;
}

TFileTime CurrentFileTime() {
    using namespace std::chrono;
    const auto since = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
    return static_cast<TFileTime>(since / 100) + UnixEpochInFileTimeSeconds * 10000000ULL;
}

} // namespace archive
