// A file that only ever grows: every Append is one write at the file's end, so nothing written is
// held back in a buffer of this process (a crash right after loses nothing), and writers in other
// processes never overwrite each other's lines. The station keeps its work log in one.
#pragma once

#include <string>
#include <string_view>
#include <utility>

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

    // Adds `data` at the end (a partly written piece is completed where the system allows it).
    // Raises FileError "Cannot write file \"<path>\". <reason>".
    void Append(std::string_view data);

private:
    AppendFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    int fd_ = -1;
    std::string path_;
};

} // namespace platform
