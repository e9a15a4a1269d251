// A file that only ever grows: every Append is one write at the file's end, so nothing written is
// held back in a buffer of this process (a crash right after loses nothing), and writers in other
// processes never overwrite each other's lines. The station keeps its work log in one.
#pragma once

#include <string>
#include <string_view>

namespace platform {

class AppendFile {
public:
    // Opens `path` for appending, creating it (readable by its owner and group) when missing; the
    // folder must exist. Raises FileError "Cannot open file \"<path>\". <reason>".
    static AppendFile Open(const std::string& path);

    AppendFile(AppendFile&& other) noexcept;
    AppendFile& operator=(AppendFile&& other) noexcept;
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;
    ~AppendFile();

    // Adds `data` at the end. Returns 0 when all of it was written, otherwise the system's error
    // number (a partly written piece is completed where the system allows it).
    int Append(std::string_view data);

private:
    explicit AppendFile(int fd) : fd_(fd) {}
    int fd_ = -1;
};

} // namespace platform
