// Files that matter reach the disk in the right order: the data synced before the rename that
// makes it count, the folder after the rename; a file being written is synced on a thread of its
// own; links and odd files at a name are refused, not followed or waited on.
#include "platform/DiskSync.h"
#include "platform/FileStream.h"
#include "testsupport/TemporaryFolder.h"
#include "testsupport/ThreadNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::DiskStep;
using platform::FileAccess;
using platform::FileDisposition;
using platform::FileHandle;
using platform::FileShare;

// Records the layer's steps while it lives.
class StepLog {
public:
    StepLog() {
        platform::ObserveDiskSteps([this](const DiskStep& step) {
            std::lock_guard guard(lock_);
            steps_.push_back(step);
            threads_.push_back(std::this_thread::get_id());
        });
    }
    ~StepLog() { platform::ObserveDiskSteps({}); }
    std::vector<DiskStep> Steps() const {
        std::lock_guard guard(lock_);
        return steps_;
    }
    std::vector<std::thread::id> Threads() const {
        std::lock_guard guard(lock_);
        return threads_;
    }

private:
    mutable std::mutex lock_;
    std::vector<DiskStep> steps_;
    std::vector<std::thread::id> threads_;
};

std::vector<std::string> HiddenEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().starts_with("."))
            names.push_back(entry.path().filename().string());
    return names;
}

class DiskSyncTest : public ::testing::Test {
protected:
    testsupport::TemporaryFolder folder_{"disksync"};
};

TEST_F(DiskSyncTest, ReplacingAFileSyncsTheCopyRenamesItAndThenSyncsTheFolder) {
    const std::string path = folder_.File("report.csv", "old and longer content");
    // What a crash during an earlier save left behind.
    const std::string stale = folder_.File(".report.csv.partial-AbC123", "half");
    StepLog log;
    platform::ReplaceFileContent(path, "new");

    EXPECT_EQ(testsupport::ReadWholeFile(path), "new");
    EXPECT_TRUE(HiddenEntries(folder_.Path()).empty()) << "stale or new temporaries are left";
    std::vector<DiskStep> steps = log.Steps();
    // The stale one's removal is made durable first; the save itself is the last three steps.
    ASSERT_GE(steps.size(), 3u);
    steps.erase(steps.begin(), steps.end() - 3);
    EXPECT_EQ(steps[0].kind, DiskStep::Kind::FileSynced);
    EXPECT_TRUE(fs::path(steps[0].path).filename().string().starts_with(".report.csv.partial-"))
        << steps[0].path;
    EXPECT_EQ(steps[0].size, 3) << "synced before all of it was written";
    EXPECT_EQ(steps[1].kind, DiskStep::Kind::Renamed);
    EXPECT_EQ(steps[1].path, steps[0].path);
    EXPECT_EQ(steps[1].target, path);
    EXPECT_EQ(steps[2].kind, DiskStep::Kind::FolderSynced);
    EXPECT_EQ(steps[2].path, folder_.Path());
}

// A link, a FIFO or a device at a name: refused with its own reason whatever the open asks for,
// at once, and what a link points to stays untouched.
TEST_F(DiskSyncTest, LinksAndOddFilesAtANameAreRefusedNeverFollowedOrWaitedOn) {
    const std::string victim = folder_.File("victim.txt", "keep me");
    fs::create_symlink(victim, folder_ / "link");
    fs::create_symlink("/dev/zero", folder_ / "zero");
    ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0644), 0);
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {{"link", platform::SymbolicLinkText},
                 {"zero", platform::SymbolicLinkText},
                 {"fifo", platform::NotRegularFileText}};
    const struct {
        FileAccess access;
        FileDisposition disposition;
        const char* verb;
    } opens[] = {{FileAccess::Read, FileDisposition::OpenExisting, "Cannot open file \""},
                 {FileAccess::Write, FileDisposition::OpenExisting, "Cannot open file \""},
                 {FileAccess::ReadWrite, FileDisposition::CreateAlways, "Cannot create file \""},
                 {FileAccess::ReadWrite, FileDisposition::CreateNew, "Cannot create file \""}};
    for (const auto& odd : cases)
        for (const auto& open : opens) {
            const std::string path = folder_ / odd.name;
            try {
                FileHandle::Open(path, open.access, FileShare::None, open.disposition);
                ADD_FAILURE() << odd.name << " opened";
            } catch (const platform::FileError& failure) {
                const std::string text = failure.what();
                // A new file's exclusive creation meets the name first.
                if (open.disposition == FileDisposition::CreateNew)
                    EXPECT_TRUE(text.starts_with(open.verb + path + "\". ")) << text;
                else
                    EXPECT_EQ(text, open.verb + path + "\". " + odd.reason);
            }
        }
    EXPECT_EQ(testsupport::ReadWholeFile(victim), "keep me");
    EXPECT_THROW(platform::ReplaceFileContent(folder_ / "link", "x"), platform::FileError);
    EXPECT_TRUE(fs::is_symlink(folder_ / "link"));
    EXPECT_EQ(testsupport::ReadWholeFile(victim), "keep me");
}

TEST_F(DiskSyncTest, ANewFileIsCreatedExclusively) {
    const std::string existing = folder_.File("1.mp3", "recorded");
    EXPECT_THROW(FileHandle::Open(existing, FileAccess::ReadWrite, FileShare::None,
                                  FileDisposition::CreateNew),
                 platform::FileError);
    EXPECT_EQ(testsupport::ReadWholeFile(existing), "recorded");
    FileHandle made = FileHandle::Open(folder_ / "2.mp3", FileAccess::ReadWrite, FileShare::None,
                                       FileDisposition::CreateNew);
    EXPECT_EQ(made.Write("x", 1), 1u);
}

// The writer goes on writing while another thread syncs the folder once and the data again and
// again; the syncs see the file grow.
TEST_F(DiskSyncTest, AFileBeingWrittenIsSyncedOnAThreadOfItsOwn) {
    const std::string path = folder_ / "1.mp3";
    FileHandle file =
        FileHandle::Open(path, FileAccess::ReadWrite, FileShare::None, FileDisposition::CreateNew);
    StepLog log;
    {
        platform::PeriodicSync sync(file, std::chrono::milliseconds(20));
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
        while (std::chrono::steady_clock::now() < end) {
            ASSERT_EQ(file.Write("0123456789", 10), 10u);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        const std::vector<std::string> names = testsupport::ThreadNames();
        EXPECT_NE(std::find(names.begin(), names.end(), "disk-sync"), names.end())
            << "the sync thread carries no name a profiler could show";
        EXPECT_NO_THROW(sync.Finish());
    }
    const std::vector<DiskStep> steps = log.Steps();
    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(steps[0].kind, DiskStep::Kind::FolderSynced);
    EXPECT_EQ(steps[0].path, folder_.Path());
    std::int64_t last = -1;
    for (std::size_t i = 1; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].kind, DiskStep::Kind::DataSynced);
        EXPECT_EQ(steps[i].path, path);
        EXPECT_GE(steps[i].size, last);
        last = steps[i].size;
    }
    EXPECT_GT(last, steps[1].size) << "the syncs never saw the file grow";
    for (const std::thread::id thread : log.Threads())
        EXPECT_NE(thread, std::this_thread::get_id()) << "the writer waited for the disk";
    // The sync thread's copy of the handle is gone: the file's lock ends with the writer's close.
    EXPECT_TRUE(file.Close());
    EXPECT_NO_THROW(
        FileHandle::Open(path, FileAccess::Read, FileShare::None, FileDisposition::OpenExisting));
}

} // namespace
