// What the file system tells about one file or folder: its times, size and attributes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct FileTimestamp {
    std::int64_t seconds = 0; // Unix time
    std::uint32_t nanoseconds = 0;
};

struct FileFacts {
    // The birth time where the file system records one, otherwise the modification time.
    FileTimestamp creationTime;
    FileTimestamp modificationTime;
    std::int64_t size = 0;
    bool isDirectory = false;
    bool isHidden = false;   // the name begins with "."
    bool isReadOnly = false; // nobody has write permission
};

// Nothing when the path does not exist or its facts cannot be read. A symbolic link reports on
// its target.
std::optional<FileFacts> QueryFileFacts(const std::string& path);

// Whether this process may create files in `folder`.
bool IsWritableFolder(const std::string& folder);

// The 100-nanosecond intervals since 1601-01-01 UTC that archive formats store.
std::uint64_t ToFileTime(FileTimestamp timestamp);

} // namespace platform
