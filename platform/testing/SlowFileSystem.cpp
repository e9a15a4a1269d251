#include "platform/testing/SlowFileSystem.h"

#include <csignal>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace platform::testing {
namespace {

// Whether the process has ended; reaps it when it has.
bool Ended(pid_t process) {
    int status = 0;
    return ::waitpid(process, &status, WNOHANG) == process;
}

} // namespace

SlowFileSystem::SlowFileSystem(std::chrono::milliseconds writeDelay,
                               std::chrono::milliseconds syncDelay) {
    std::vector<std::string> words = {STATION_SLOWFS_PROGRAM, backing_.Path(), Folder(),
                                      "--write-delay-ms=" + std::to_string(writeDelay.count()),
                                      "--sync-delay-ms=" + std::to_string(syncDelay.count())};
    std::vector<char*> arguments;
    for (std::string& word : words)
        arguments.push_back(word.data());
    arguments.push_back(nullptr);
    if (::posix_spawn(&process_, STATION_SLOWFS_PROGRAM, nullptr, nullptr, arguments.data(),
                      environ) != 0) {
        process_ = -1;
        reason_ = "the slow file system " STATION_SLOWFS_PROGRAM " could not be started";
        return;
    }
    for (int i = 0; i < 100 && !mounted_; ++i) {
        if (Ended(process_)) {
            process_ = -1;
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
    // Unmounted before the folders go, so that their removal never reaches through the layer.
    if (mounted_)
        ::umount2(Folder().c_str(), MNT_DETACH);
    if (process_ <= 0)
        return;
    for (int i = 0; i < 40; ++i) {
        if (Ended(process_))
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(process_, SIGKILL);
    ::waitpid(process_, nullptr, 0);
}

bool SlowFileSystem::IsMountPoint() const {
    struct stat here {};
    struct stat parent {};
    return ::stat(Folder().c_str(), &here) == 0 &&
           ::stat((Folder() + "/..").c_str(), &parent) == 0 && here.st_dev != parent.st_dev;
}

} // namespace platform::testing
