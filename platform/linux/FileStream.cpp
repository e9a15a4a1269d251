#include "platform/FileStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

const char* const SharingViolationText =
    "The process cannot access the file because it is being used by another process.";

std::string SystemErrorText(int errorNumber) {
    char buffer[256];
    // GNU strerror_r may return a static string instead of filling the buffer.
    return strerror_r(errorNumber, buffer, sizeof buffer);
}

namespace {

int OpenFlags(FileAccess access) {
    switch (access) {
    case FileAccess::Read:
        return O_RDONLY;
    case FileAccess::Write:
        return O_WRONLY;
    case FileAccess::ReadWrite:
        break;
    }
    return O_RDWR;
}

[[noreturn]] void RaiseOpenFailure(const std::string& path, FileDisposition disposition,
                                   const std::string& reason) {
    const char* verb = disposition == FileDisposition::CreateAlways ? "Cannot create file \""
                                                                    : "Cannot open file \"";
    throw FileError(verb + path + "\". " + reason);
}

} // namespace

FileHandle FileHandle::Open(const std::string& path, FileAccess access, FileShare share,
                            FileDisposition disposition) {
    int flags = OpenFlags(access) | O_CLOEXEC;
    if (disposition == FileDisposition::CreateAlways)
        flags |= O_CREAT;
    // Never truncate here: an existing file held by another handle must stay untouched when the
    // sharing check below refuses us.
    FileHandle file(::open(path.c_str(), flags, 0644));
    if (!file.IsOpen())
        RaiseOpenFailure(path, disposition, SystemErrorText(errno));
    struct stat facts {};
    if (::fstat(file.fd_, &facts) == 0 && S_ISDIR(facts.st_mode))
        RaiseOpenFailure(path, disposition, SystemErrorText(EISDIR));

    // Open-file-description locks: they belong to this handle alone, so a second handle in the same
    // process is refused just like another process.
    const int lockKind = share == FileShare::None ? LOCK_EX : LOCK_SH;
    if (::flock(file.fd_, lockKind | LOCK_NB) != 0) {
        const int error = errno;
        RaiseOpenFailure(path, disposition,
                         error == EWOULDBLOCK ? SharingViolationText : SystemErrorText(error));
    }
    // Only a file with content is cut (its size read under the lock): truncating a new, empty
    // file would make ext4 flush all of its data when it is closed (its guard for files rewritten
    // in place), which holds up the close of a long recording for tens of milliseconds.
    if (disposition == FileDisposition::CreateAlways &&
        (::fstat(file.fd_, &facts) != 0 || facts.st_size > 0) && ::ftruncate(file.fd_, 0) != 0)
        RaiseOpenFailure(path, disposition, SystemErrorText(errno));
    return file;
}

FileHandle::FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileHandle::~FileHandle() {
    Close();
}

std::size_t FileHandle::Read(void* buffer, std::size_t count) {
    auto* bytes = static_cast<char*>(buffer);
    std::size_t total = 0;
    while (total < count) {
        const ssize_t got = ::read(fd_, bytes + total, count - total);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(SystemErrorText(errno));
        }
        total += static_cast<std::size_t>(got);
    }
    return total;
}

std::size_t FileHandle::Write(const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const char*>(buffer);
    std::size_t total = 0;
    while (total < count) {
        const ssize_t put = ::write(fd_, bytes + total, count - total);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (put == 0)
            break;
        total += static_cast<std::size_t>(put);
    }
    return total;
}

std::int64_t FileHandle::Seek(std::int64_t offset, int origin) {
    const off_t position = ::lseek(fd_, offset, origin);
    if (position < 0)
        throw FileError(SystemErrorText(errno));
    return position;
}

std::int64_t FileHandle::Size() const {
    struct stat facts {};
    if (::fstat(fd_, &facts) != 0)
        throw FileError(SystemErrorText(errno));
    return facts.st_size;
}

void FileHandle::Truncate(std::int64_t length) {
    if (::ftruncate(fd_, length) != 0)
        throw FileError(SystemErrorText(errno));
}

bool FileHandle::Close() {
    if (fd_ < 0)
        return true;
    // The descriptor is gone whatever close returns; EINTR does not mean it stayed open.
    const int result = ::close(std::exchange(fd_, -1));
    return result == 0 || errno == EINTR;
}

} // namespace platform
