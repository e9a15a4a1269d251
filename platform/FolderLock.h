// An exclusive claim on a folder for as long as one object lives: the station holds one on its
// interview folder, so that a second window (of this or another process) cannot record into the
// same folder. The claim is a lock on the folder itself, not a file inside it, so nothing is added
// to what the folder holds (its archive and its report stay as they are). The system releases the
// claim when the object is destroyed and when the process ends in any way, a crash included.
#pragma once

#include "platform/FileStream.h"

#include <string>

namespace platform {

// The folder is already claimed by another FolderLock (in this process or another one).
class FolderInUse : public FileError {
public:
    using FileError::FileError;
};

class FolderLock {
public:
    // Claims `folder`, which must exist. Raises FolderInUse "Folder \"<folder>\" is in use by
    // another holder." when it is claimed elsewhere, or FileError "Cannot lock folder
    // \"<folder>\". <reason>" when the system cannot lock it (a missing folder, a file system
    // without locks).
    static FolderLock Acquire(const std::string& folder);

    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&& other) noexcept;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

    const std::string& Folder() const { return folder_; }

private:
    FolderLock(std::string folder, int fd) : folder_(std::move(folder)), fd_(fd) {}
    void Release() noexcept;

    std::string folder_;
    int fd_ = -1;
};

} // namespace platform
