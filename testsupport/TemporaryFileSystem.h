// For tests: a small file system of its own (tmpfs), mounted on a fresh temporary folder for the
// life of the object, so that a test can fill a disk or write to a read-only one. Mounting needs
// the right to mount (root in the test containers); Mounted() tells whether it worked, and
// SkipReason() says why not, for GTEST_SKIP.
#pragma once

#include "testsupport/TemporaryFolder.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace testsupport {

class TemporaryFileSystem {
public:
    // `options` as for mount -o, e.g. "size=1m" or "ro".
    explicit TemporaryFileSystem(const std::string& options) {
        const unsigned long flags = options == "ro" ? MS_RDONLY : 0;
        const char* data = options == "ro" ? nullptr : options.c_str();
        if (::mount("tmpfs", Folder().c_str(), "tmpfs", flags, data) == 0)
            mounted_ = true;
        else
            reason_ = "mounting a tmpfs is not permitted here (" +
                      std::string(std::strerror(errno)) +
                      "); run the tests as root to cover this case";
    }
    TemporaryFileSystem(const TemporaryFileSystem&) = delete;
    TemporaryFileSystem& operator=(const TemporaryFileSystem&) = delete;
    ~TemporaryFileSystem() {
        // Unmounted before the folder goes, so that its removal never reaches into the tmpfs.
        if (mounted_)
            ::umount2(Folder().c_str(), MNT_DETACH);
    }

    bool Mounted() const { return mounted_; }
    const std::string& SkipReason() const { return reason_; }
    const std::string& Folder() const { return folder_.Path(); }

private:
    TemporaryFolder folder_{"station-fs"};
    std::string reason_;
    bool mounted_ = false;
};

} // namespace testsupport
