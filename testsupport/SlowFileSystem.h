// For tests and benchmarks: a folder on a slow disk. The project's own FUSE layer (slowfs/) passes
// everything through to a temporary folder and makes every write wait `writeDelay` and every sync
// `syncDelay`, as a USB stick, a network home or a failing disk may. Mounted for the life of the
// object; Mounted() tells whether it worked, and SkipReason() says why not.
#pragma once

#include "testsupport/ChildProcess.h"
#include "testsupport/TemporaryFolder.h"

#include <chrono>
#include <string>

namespace testsupport {

class SlowFileSystem {
public:
    SlowFileSystem(std::chrono::milliseconds writeDelay, std::chrono::milliseconds syncDelay);
    ~SlowFileSystem();
    SlowFileSystem(const SlowFileSystem&) = delete;
    SlowFileSystem& operator=(const SlowFileSystem&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& SkipReason() const { return reason_; }
    // Where the slow disk is mounted.
    const std::string& Folder() const { return mountPoint_.Path(); }

private:
    bool IsMountPoint() const;

    TemporaryFolder backing_{"station-slowfs-backing"};
    TemporaryFolder mountPoint_{"station-slowfs"};
    ChildProcess process_;
    bool mounted_ = false;
    std::string reason_;
};

} // namespace testsupport
