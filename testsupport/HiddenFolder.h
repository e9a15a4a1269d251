// For tests: a folder of the system that this process stops seeing while the object lives, as if
// what it holds were not installed. An empty read-only tmpfs is mounted over it in a mount
// namespace of the calling thread's own (threads it starts later share it), so nothing else on the
// machine is affected. Needs the right to mount (root in the test containers); Hidden() tells
// whether it worked, and SkipReason() says why not, for GTEST_SKIP.
#pragma once

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <string>
#include <sys/mount.h>

namespace testsupport {

class HiddenFolder {
public:
    explicit HiddenFolder(std::string folder) : folder_(std::move(folder)) {
        // Without private mounts the tmpfs would spread to the machine's own namespace.
        if (::unshare(CLONE_NEWNS) != 0)
            Refused("a mount namespace of its own");
        else if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            Refused("private mounts");
        else if (::mount("tmpfs", folder_.c_str(), "tmpfs", MS_RDONLY, nullptr) != 0)
            Refused("a tmpfs over " + folder_);
        else
            hidden_ = true;
    }
    HiddenFolder(const HiddenFolder&) = delete;
    HiddenFolder& operator=(const HiddenFolder&) = delete;
    ~HiddenFolder() { Reveal(); }

    bool Hidden() const { return hidden_; }
    const std::string& SkipReason() const { return reason_; }
    // What the folder holds is there again, as if it had just been installed.
    void Reveal() {
        if (hidden_)
            ::umount2(folder_.c_str(), MNT_DETACH);
        hidden_ = false;
    }

private:
    void Refused(const std::string& what) {
        reason_ = what + " is not permitted here (" + std::strerror(errno) +
                  "); run the tests as root to cover this case";
    }

    std::string folder_;
    std::string reason_;
    bool hidden_ = false;
};

} // namespace testsupport
