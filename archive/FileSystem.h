// The few file-system facts the archive writer needs, in the attribute vocabulary of its archives.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace archive {

// Attribute bits as archives store them.
enum FileAttribute : std::uint32_t {
    faReadOnly = 0x01,
    faHidden = 0x02,   // here: a name beginning with "."
    faSystem = 0x04,   // never set on this platform
    faVolumeId = 0x08, // never set on this platform
    faDirectory = 0x10,
    faArchive = 0x20,
    faSymLink = 0x40,
    faNormal = 0x80,
    faReparsePoint = 0x400, // here: a symbolic link
    // The zip convention for carrying the POSIX mode in the upper 16 bits.
    faUnixExtension = 0x8000,
};
constexpr std::uint32_t faSpecialSearch = faHidden | faSystem | faVolumeId | faDirectory;
constexpr std::uint32_t faAnyFile = 0x3F;

// 100-nanosecond intervals since 1601-01-01 UTC.
using TFileTime = std::uint64_t;

struct TSearchRec {
    std::string Name;
    std::uint32_t Attributes = 0;
    std::int64_t Size = 0;
    TFileTime CreationTime = 0;
    TFileTime LastAccessTime = 0;
    TFileTime LastWriteTime = 0;
};

// The facts of one entry (a file or a folder), or nothing when they cannot be read. `Name` is the
// last component of the path.
std::optional<TSearchRec> ReadFileFacts(const std::string& path);
// Every entry of a folder except "." and "..", sorted by name so that archives come out the same
// on every run; empty when the folder cannot be listed.
std::vector<TSearchRec> ListFolder(const std::string& folder);
// Whether the entry is a regular file of its own (not a link, a FIFO, a device or a socket): the
// only kind of file an archive of a folder takes. Opening the others may block for ever or read
// without end.
bool IsRegularFileEntry(const TSearchRec& entry);
// The current time as a file time.
TFileTime CurrentFileTime();

} // namespace archive
