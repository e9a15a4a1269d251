#include "platform/FolderLock.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using platform::FolderInUse;
using platform::FolderLock;

class FolderLockTest : public ::testing::Test {
protected:
    // What a claim made by another process gets: 0 it holds the folder, 1 the folder is in use, 2
    // another failure.
    int ClaimInChildProcess() const {
        const pid_t child = ::fork();
        if (child == 0) {
            int result = 2;
            try {
                FolderLock lock = FolderLock::Acquire(folder_);
                result = 0;
            } catch (const FolderInUse&) {
                result = 1;
            } catch (...) {
            }
            ::_exit(result);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    testsupport::TemporaryFolder scratch_{"folderlock"};
    std::string folder_ = scratch_.Path();
};

TEST_F(FolderLockTest, SecondClaimInTheSameProcessIsRefusedUntilTheFirstEnds) {
    std::optional<FolderLock> first = FolderLock::Acquire(folder_);
    EXPECT_THROW(FolderLock::Acquire(folder_), FolderInUse);

    // A moved claim still holds the folder; only the end of its last owner releases it.
    FolderLock moved = std::move(*first);
    first.reset();
    EXPECT_THROW(FolderLock::Acquire(folder_), FolderInUse);
    EXPECT_EQ(moved.Folder(), folder_);

    { FolderLock released = std::move(moved); }
    EXPECT_NO_THROW(FolderLock::Acquire(folder_));
}

TEST_F(FolderLockTest, AnotherProcessIsRefusedWhileTheFolderIsHeld) {
    {
        FolderLock lock = FolderLock::Acquire(folder_);
        EXPECT_EQ(ClaimInChildProcess(), 1);
    }
    EXPECT_EQ(ClaimInChildProcess(), 0);
}

TEST_F(FolderLockTest, HolderKilledMidwayLeavesTheFolderFreeAndUnchanged) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        FolderLock lock = FolderLock::Acquire(folder_);
        const char held = 'x';
        (void)!::write(ready[1], &held, 1);
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    EXPECT_THROW(FolderLock::Acquire(folder_), FolderInUse);

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_NO_THROW(FolderLock::Acquire(folder_));
    // Nothing was left inside: the folder's archive and report see only the interview's files.
    EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(FolderLockTest, MissingFolderIsAFailureNotAClaimElsewhere) {
    const std::string missing = folder_ + "/missing";
    try {
        FolderLock::Acquire(missing);
        FAIL() << "a missing folder was claimed";
    } catch (const FolderInUse&) {
        FAIL() << "a missing folder was reported as in use";
    } catch (const platform::FileError& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Cannot lock folder \"" + missing + "\". No such file or directory");
    }
}

} // namespace
