#include "platform/FileSystemFacts.h"
#include "platform/FileStream.h"
#include "testsupport/TemporaryFileSystem.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

using testsupport::TemporaryFileSystem;

TEST(FreeBytesTest, FollowsWhatIsWrittenOnASmallDisk) {
    TemporaryFileSystem disk("size=1m");
    if (!disk.Mounted())
        GTEST_SKIP() << disk.SkipReason();
    EXPECT_EQ(platform::FreeBytes(disk.Folder()), 1024u * 1024u);

    std::ofstream(disk.Folder() + "/1.mp3", std::ios::binary) << std::string(300 * 1024, 'a');
    const std::uint64_t left = platform::FreeBytes(disk.Folder() + "/1.mp3");
    EXPECT_LE(left, 1024u * 1024u - 300u * 1024u);
    EXPECT_GE(left, 1024u * 1024u - 320u * 1024u); // whole pages are taken
}

TEST(FreeBytesTest, MissingPathRaisesTheSystemsReason) {
    try {
        platform::FreeBytes("/nonexistent-station-folder/x");
        FAIL() << "no failure for a missing path";
    } catch (const platform::FileError& failure) {
        EXPECT_STREQ(failure.what(),
                     "Cannot read the free space of "
                     "\"/nonexistent-station-folder/x\". No such file or directory");
    }
}

TEST(NameLimitTest, FolderNotYetCreatedIsAskedThroughItsParent) {
    TemporaryFileSystem disk("size=64k");
    if (!disk.Mounted())
        GTEST_SKIP() << disk.SkipReason();
    EXPECT_EQ(platform::NameLimit(disk.Folder()), 255u);
    EXPECT_EQ(platform::NameLimit(disk.Folder() + "/Desktop/not/yet"), 255u);
    EXPECT_GT(platform::NameLimit("relative/missing"), 0u);
}

} // namespace
