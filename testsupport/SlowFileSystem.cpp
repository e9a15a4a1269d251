#include "testsupport/SlowFileSystem.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>

namespace testsupport {

SlowFileSystem::SlowFileSystem(std::chrono::milliseconds writeDelay,
                               std::chrono::milliseconds syncDelay)
    : process_({STATION_SLOWFS_PROGRAM, backing_.Path(), Folder(),
                "--write-delay-ms=" + std::to_string(writeDelay.count()),
                "--sync-delay-ms=" + std::to_string(syncDelay.count())}) {
    if (!process_.Started()) {
        reason_ = "the slow file system " STATION_SLOWFS_PROGRAM " could not be started";
        return;
    }
    for (int i = 0; i < 100 && !mounted_; ++i) {
        if (process_.Ended()) {
            reason_ = "mounting the slow file system (FUSE) failed; it needs /dev/fuse and the "
                      "right to mount (run the tests as root)";
            return;
        }
        mounted_ = IsMountPoint();
        if (!mounted_)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!mounted_)
        reason_ = "the slow file system did not come up within 5 s";
}

SlowFileSystem::~SlowFileSystem() {
    // Unmounted before the folders go, so that their removal never reaches through the layer; the
    // layer's process then ends by itself.
    if (mounted_)
        ::umount2(Folder().c_str(), MNT_DETACH);
    for (int i = 0; i < 40 && !process_.Ended(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

bool SlowFileSystem::IsMountPoint() const {
    struct stat here {};
    struct stat parent {};
    return ::stat(Folder().c_str(), &here) == 0 &&
           ::stat((Folder() + "/..").c_str(), &parent) == 0 && here.st_dev != parent.st_dev;
}

} // namespace testsupport
