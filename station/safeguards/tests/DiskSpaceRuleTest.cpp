#include "station/safeguards/DiskSpaceRule.h"

#include "platform/FileSystemFacts.h"
#include "testsupport/TemporaryFileSystem.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace station;

namespace {

TEST(DiskSpaceRuleTest, ReadinessWantsThreeHoursWithTheirArchive) {
    struct Case {
        std::uint64_t freeBytes;
        std::optional<std::string> warning;
    };
    const Case cases[] = {
        {345'600'000, std::nullopt}, // 3 h x 3600 s x 32000 bytes
        {10'000'000'000, std::nullopt},
        {345'599'999,
         "На диске мало места: свободно 345 МБ, этого хватит примерно на 179 мин. записи."},
        {100'000'000,
         "На диске мало места: свободно 100 МБ, этого хватит примерно на 52 мин. записи."},
        {0, "На диске мало места: свободно 0 МБ, этого хватит примерно на 0 мин. записи."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckSpaceAtReadiness(c.freeBytes), c.warning) << c.freeBytes;
}

TEST(DiskSpaceRuleTest, RecordingWantsTenMinutesAndTheArchiveOfWhatIsRecorded) {
    struct Case {
        std::uint64_t freeBytes;
        std::uint64_t recordedBytes;
        bool low;
    };
    const Case cases[] = {
        {19'200'000, 0, false}, // 10 min x 60 s x 32000 bytes
        {19'199'999, 0, true},          {50'000'000, 30'800'000, false},
        {50'000'000, 30'800'001, true}, {0, 0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpaceRunningLow(c.freeBytes, c.recordedBytes), c.low)
            << c.freeBytes << " " << c.recordedBytes;
}

TEST(DiskSpaceRuleTest, EverythingInTheInterviewFolderCountsAsRecorded) {
    const testsupport::TemporaryFolder scratch("interview-content");
    const std::filesystem::path folder = scratch.Path();
    std::filesystem::create_directories(folder / "sub");
    std::ofstream(folder / "1.mp3", std::ios::binary) << std::string(1000, 'a');
    std::ofstream(folder / "01-report.csv", std::ios::binary) << std::string(10, 'r');
    std::ofstream(folder / "sub/x", std::ios::binary) << "12345";
    std::filesystem::create_directory_symlink(folder / "sub", folder / "loop");
    EXPECT_EQ(FolderContentBytes(folder.string()), 1015u);
    EXPECT_EQ(FolderContentBytes((folder / "missing").string()), 0u);
}

// A small disk filled and emptied again: the banner comes with the filling and goes once the
// space is freed.
TEST(DiskSpaceRuleTest, RealDiskFillingUpAndFreed) {
    testsupport::TemporaryFileSystem disk("size=22m");
    if (!disk.Mounted())
        GTEST_SKIP() << disk.SkipReason();
    const std::string folder = disk.Folder();
    EXPECT_EQ(CheckSpaceAtReadiness(platform::FreeBytes(folder)),
              "На диске мало места: свободно 23 МБ, этого хватит примерно на 12 мин. записи.");

    std::ofstream(folder + "/other.bin", std::ios::binary) << std::string(3 << 20, 'o');
    EXPECT_FALSE(SpaceRunningLow(platform::FreeBytes(folder), 0));
    std::ofstream(folder + "/1.mp3", std::ios::binary) << std::string(1 << 20, 'r');
    EXPECT_TRUE(SpaceRunningLow(platform::FreeBytes(folder), 1 << 20));

    std::filesystem::remove(folder + "/other.bin");
    EXPECT_FALSE(SpaceRunningLow(platform::FreeBytes(folder), 1 << 20));
}

} // namespace
