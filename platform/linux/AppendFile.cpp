#include "platform/AppendFile.h"

#include "platform/FileStream.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace platform {

AppendFile AppendFile::Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0640);
    if (fd < 0) {
        const int error = errno;
        throw SystemFileError(error, "Cannot open file \"" + path + "\". ",
                              FailureKind::FileNotOpened);
    }
    return AppendFile(fd, path);
}

AppendFile::AppendFile(AppendFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

AppendFile& AppendFile::operator=(AppendFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

AppendFile::~AppendFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

void AppendFile::Append(std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd_, data.data(), data.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            const int error = written < 0 ? errno : ENOSPC;
            throw SystemFileError(error, "Cannot write file \"" + path_ + "\". ",
                                  FailureKind::FileNotWritten);
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace platform
