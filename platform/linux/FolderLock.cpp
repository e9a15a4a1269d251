#include "platform/FolderLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace platform {

FolderLock FolderLock::Acquire(const std::string& folder) {
    // Each open makes its own open file description, and flock locks belong to that description:
    // a second claim in the same process is refused like one from another process, and a child
    // started with exec does not inherit the claim.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        throw SystemFileError(error, "Cannot lock folder \"" + folder + "\". ");
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            throw FolderInUse("Folder \"" + folder + "\" is in use by another holder.");
        throw SystemFileError(error, "Cannot lock folder \"" + folder + "\". ");
    }
    return FolderLock(folder, fd);
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : folder_(std::move(other.folder_)), fd_(std::exchange(other.fd_, -1)) {}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
    if (this != &other) {
        Release();
        folder_ = std::move(other.folder_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FolderLock::~FolderLock() {
    Release();
}

void FolderLock::Release() noexcept {
    // Closing the only descriptor of the description drops the lock.
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
}

} // namespace platform
