// What the file system tells about one file or folder: its times, size and attributes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct FileTimestamp {
    std::int64_t seconds = 0; // Unix time
    std::uint32_t nanoseconds = 0;
};

struct FileFacts {
    // The birth time where the file system records one, otherwise the modification time.
    FileTimestamp creationTime;
    FileTimestamp modificationTime;
    FileTimestamp accessTime;
    std::int64_t size = 0;
    std::uint32_t mode = 0; // the POSIX file type and permission bits
    bool isDirectory = false;
    bool isHidden = false;       // the name begins with "."
    bool isReadOnly = false;     // nobody has write permission
    bool isSymbolicLink = false; // the path is a link; every other fact describes its target
};

// Nothing when the path does not exist or its facts cannot be read (a dangling link included). A
// symbolic link reports on its target.
std::optional<FileFacts> QueryFileFacts(const std::string& path);

struct FolderEntry {
    std::string name;
    FileFacts facts;
};
// Every entry of a folder except "." and "..", in the order the file system gives them; an entry
// that vanishes while the folder is read is left out. Empty when the folder cannot be listed.
std::vector<FolderEntry> ListFolder(const std::string& folder);

// Whether this process may create files in `folder`.
bool IsWritableFolder(const std::string& folder);

// The 100-nanosecond intervals since 1601-01-01 UTC that archive formats store; 0 for a time
// before 1601.
std::uint64_t ToFileTime(FileTimestamp timestamp);

} // namespace platform
