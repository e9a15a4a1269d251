#include "platform/FileStream.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using platform::FileAccess;
using platform::FileDisposition;
using platform::FileHandle;
using platform::FileShare;

class FileStreamTest : public ::testing::Test {
protected:
    void SetUp() override { path_ = folder_.File("data.bin", "0123456789"); }

    testsupport::TemporaryFolder folder_{"filestream"};
    std::string path_;
};

TEST_F(FileStreamTest, ExclusiveHandleRefusesEveryOtherOpenAndKeepsTheContent) {
    FileHandle holder =
        FileHandle::Open(path_, FileAccess::Read, FileShare::None, FileDisposition::OpenExisting);
    for (auto share : {FileShare::None, FileShare::Read, FileShare::ReadWrite}) {
        try {
            FileHandle::Open(path_, FileAccess::ReadWrite, share, FileDisposition::CreateAlways);
            FAIL() << "a second open of an exclusively held file succeeded";
        } catch (const platform::FileError& failure) {
            EXPECT_EQ(std::string(failure.what()),
                      "Cannot create file \"" + path_ + "\". " + platform::SharingViolationText);
        }
    }
    EXPECT_EQ(std::filesystem::file_size(path_), 10u) << "a refused create emptied the file";
    holder.Close();
    FileHandle again =
        FileHandle::Open(path_, FileAccess::Read, FileShare::None, FileDisposition::OpenExisting);
    EXPECT_TRUE(again.IsOpen());
}

TEST_F(FileStreamTest, SharedReadersCoexistButKeepAnExclusiveOpenerOut) {
    FileHandle first =
        FileHandle::Open(path_, FileAccess::Read, FileShare::Read, FileDisposition::OpenExisting);
    FileHandle second =
        FileHandle::Open(path_, FileAccess::Read, FileShare::Read, FileDisposition::OpenExisting);
    char buffer[16] = {};
    EXPECT_EQ(second.Read(buffer, sizeof buffer), 10u);
    EXPECT_THROW(
        FileHandle::Open(path_, FileAccess::Read, FileShare::None, FileDisposition::OpenExisting),
        platform::FileError);
}

TEST_F(FileStreamTest, MissingFileAndFolderGiveTheSystemReason) {
    const std::string missing = folder_ / "none.bin";
    try {
        FileHandle::Open(missing, FileAccess::Read, FileShare::None, FileDisposition::OpenExisting);
        FAIL();
    } catch (const platform::FileError& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Cannot open file \"" + missing + "\". No such file or directory");
    }
    EXPECT_THROW(FileHandle::Open(folder_.Path(), FileAccess::Read, FileShare::None,
                                  FileDisposition::OpenExisting),
                 platform::FileError);
}

TEST_F(FileStreamTest, CreateAlwaysEmptiesAndWritesSeekAndTruncateWork) {
    FileHandle file = FileHandle::Open(path_, FileAccess::ReadWrite, FileShare::None,
                                       FileDisposition::CreateAlways);
    EXPECT_EQ(file.Size(), 0);
    EXPECT_EQ(file.Write("abcdef", 6), 6u);
    EXPECT_EQ(file.Seek(2, SEEK_SET), 2);
    char buffer[4] = {};
    EXPECT_EQ(file.Read(buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 3), "cde");
    file.Truncate(4);
    EXPECT_EQ(file.Size(), 4);
}

} // namespace

namespace {

TEST_F(FileStreamTest, CloseTellsWhetherTheSystemAcceptedIt) {
    FileHandle file =
        FileHandle::Open(path_, FileAccess::Write, FileShare::None, FileDisposition::OpenExisting);
    EXPECT_TRUE(file.Close());
    EXPECT_TRUE(file.Close()) << "closing a closed handle is not a failure";

    // A descriptor the system no longer knows stands for every close the system refuses.
    FileHandle broken =
        FileHandle::Open(path_, FileAccess::Write, FileShare::None, FileDisposition::OpenExisting);
    ::close(broken.Descriptor());
    EXPECT_FALSE(broken.Close());
    EXPECT_FALSE(broken.IsOpen());
}

} // namespace
