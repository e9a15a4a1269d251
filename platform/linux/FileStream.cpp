#include "platform/FileStream.h"

#include "platform/DiskSync.h"

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

const char* const SymbolicLinkText =
    "The name is a symbolic link; files are never opened through one.";
const char* const NotRegularFileText = "Not a regular file.";

std::string SystemErrorText(int errorNumber) {
    char buffer[256];
    // GNU strerror_r may return a static string instead of filling the buffer.
    return strerror_r(errorNumber, buffer, sizeof buffer);
}

FileError SystemFileError(int errorNumber, const std::string& lead, FailureKind otherwise) {
    return FileError(lead + SystemErrorText(errorNumber), CauseOfError(errorNumber, otherwise));
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

struct OpenFailure {
    std::string reason;
    FailureKind kind;
    int errorNumber;
};

[[noreturn]] void RaiseOpenFailure(const std::string& path, FileDisposition disposition,
                                   const OpenFailure& failure) {
    const bool opening = disposition == FileDisposition::OpenExisting;
    const char* verb = opening ? "Cannot open file \"" : "Cannot create file \"";
    FailureCause cause{failure.kind, failure.errorNumber};
    if (failure.kind == FailureKind::Other)
        cause = CauseOfError(failure.errorNumber,
                             opening ? FailureKind::FileNotOpened : FailureKind::FileNotCreated);
    throw FileError(verb + path + "\". " + failure.reason, cause);
}

OpenFailure SystemFailure(int error) {
    return {SystemErrorText(error), FailureKind::Other, error};
}

// Why an open failed, naming a link or an odd file at the name before the system's bare reason
// ("Too many levels of symbolic links", "No such device or address").
OpenFailure OpenFailureReason(const std::string& path, int error) {
    struct stat facts {};
    if (::lstat(path.c_str(), &facts) == 0) {
        if (S_ISLNK(facts.st_mode))
            return {SymbolicLinkText, FailureKind::SymbolicLink, error};
        if (!S_ISREG(facts.st_mode) && !S_ISDIR(facts.st_mode))
            return {NotRegularFileText, FailureKind::NotRegularFile, error};
    }
    return SystemFailure(error);
}

int CreationFlags(FileDisposition disposition) {
    switch (disposition) {
    case FileDisposition::OpenExisting:
        return 0;
    case FileDisposition::CreateAlways:
        return O_CREAT;
    case FileDisposition::CreateNew:
        break;
    }
    return O_CREAT | O_EXCL;
}

} // namespace

FileHandle FileHandle::Open(const std::string& path, FileAccess access, FileShare share,
                            FileDisposition disposition) {
    // A link at the name is refused rather than followed (a planted one would redirect the
    // station's writes), and opening a FIFO must not wait for a writer that never comes.
    const int flags =
        OpenFlags(access) | CreationFlags(disposition) | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    // Never truncate here: an existing file held by another handle must stay untouched when the
    // sharing check below refuses us.
    FileHandle file(::open(path.c_str(), flags, 0644), path);
    if (!file.IsOpen())
        RaiseOpenFailure(path, disposition, OpenFailureReason(path, errno));
    struct stat facts {};
    if (::fstat(file.fd_, &facts) != 0)
        RaiseOpenFailure(path, disposition, SystemFailure(errno));
    if (S_ISDIR(facts.st_mode))
        RaiseOpenFailure(path, disposition, SystemFailure(EISDIR));
    // Checked on what was opened, not on the name: the name may have changed since it was looked
    // at. A device or a FIFO would read without end or block.
    if (!S_ISREG(facts.st_mode))
        RaiseOpenFailure(path, disposition, {NotRegularFileText, FailureKind::NotRegularFile, 0});

    // Open-file-description locks: they belong to this handle alone, so a second handle in the same
    // process is refused just like another process.
    const int lockKind = share == FileShare::None ? LOCK_EX : LOCK_SH;
    if (::flock(file.fd_, lockKind | LOCK_NB) != 0) {
        const int error = errno;
        RaiseOpenFailure(path, disposition,
                         error == EWOULDBLOCK
                             ? OpenFailure{SharingViolationText, FailureKind::FileInUse, error}
                             : SystemFailure(error));
    }
    // Only a file with content is cut (its size read under the lock): truncating a new, empty
    // file would make ext4 flush all of its data when it is closed (its guard for files rewritten
    // in place), which holds up the close of a long recording for tens of milliseconds.
    if (disposition == FileDisposition::CreateAlways &&
        (::fstat(file.fd_, &facts) != 0 || facts.st_size > 0) && ::ftruncate(file.fd_, 0) != 0)
        RaiseOpenFailure(path, disposition, SystemFailure(errno));
    return file;
}

FileHandle::FileHandle(FileHandle&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
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
            throw SystemFileError(errno);
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
        throw SystemFileError(errno);
    return position;
}

std::int64_t FileHandle::Size() const {
    struct stat facts {};
    if (::fstat(fd_, &facts) != 0)
        throw SystemFileError(errno);
    return facts.st_size;
}

void FileHandle::Truncate(std::int64_t length) {
    if (::ftruncate(fd_, length) != 0)
        throw SystemFileError(errno);
}

namespace {

int SyncDescriptor(int fd, const std::string& path, bool dataOnly) {
    const int result = dataOnly ? ::fdatasync(fd) : ::fsync(fd);
    const int error = result == 0 ? 0 : errno;
    if (error == 0) {
        struct stat facts {};
        const std::int64_t size = ::fstat(fd, &facts) == 0 ? facts.st_size : -1;
        TellDiskStep(
            {dataOnly ? DiskStep::Kind::DataSynced : DiskStep::Kind::FileSynced, path, {}, size});
    }
    return error;
}

} // namespace

FileHandle FileHandle::Duplicate() const {
    FileHandle copy(::fcntl(fd_, F_DUPFD_CLOEXEC, 0), path_);
    if (!copy.IsOpen())
        throw SystemFileError(errno);
    return copy;
}

void FileHandle::SyncData() {
    if (const int error = SyncDescriptor(fd_, path_, true); error != 0)
        throw SystemFileError(error, "Cannot write file \"" + path_ + "\". ",
                              FailureKind::FileNotWritten);
}

void FileHandle::Sync() {
    if (const int error = SyncDescriptor(fd_, path_, false); error != 0)
        throw SystemFileError(error, "Cannot write file \"" + path_ + "\". ",
                              FailureKind::FileNotWritten);
}

bool FileHandle::Close() {
    if (fd_ < 0)
        return true;
    // The descriptor is gone whatever close returns; EINTR does not mean it stayed open.
    const int result = ::close(std::exchange(fd_, -1));
    return result == 0 || errno == EINTR;
}

} // namespace platform
