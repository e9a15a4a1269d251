#include "platform/FileFacts.h"
#include "platform/FileStream.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class FileFactsTest : public ::testing::Test {
protected:
    std::string PathOf(const char* name) const { return folder_ / name; }

    testsupport::TemporaryFolder folder_{"filefacts"};
};

TEST_F(FileFactsTest, FileFactsAndAttributes) {
    const auto before = std::chrono::system_clock::now();
    std::ofstream(PathOf(".hidden")) << "12345";
    const auto facts = platform::QueryFileFacts(PathOf(".hidden"));
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->size, 5);
    EXPECT_FALSE(facts->isDirectory);
    EXPECT_TRUE(facts->isHidden);
    EXPECT_FALSE(facts->isReadOnly);
    const auto created = std::chrono::system_clock::from_time_t(facts->creationTime.seconds);
    EXPECT_GE(created, std::chrono::floor<std::chrono::seconds>(before));
    EXPECT_LE(created, std::chrono::system_clock::now());

    fs::permissions(PathOf(".hidden"), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_TRUE(platform::QueryFileFacts(PathOf(".hidden"))->isReadOnly);

    const auto folder = platform::QueryFileFacts(folder_.Path() + "/");
    ASSERT_TRUE(folder);
    EXPECT_TRUE(folder->isDirectory);
    EXPECT_FALSE(folder->isHidden);
    EXPECT_FALSE(platform::QueryFileFacts(PathOf("missing")));
    EXPECT_FALSE(platform::QueryFileFacts(""));
}

TEST_F(FileFactsTest, SizeBeyondFourGibibytesIsReportedWhole) {
    const std::int64_t size = (5LL << 30) + 123;
    auto file = platform::FileHandle::Open(PathOf("big.bin"), platform::FileAccess::Write,
                                           platform::FileShare::None,
                                           platform::FileDisposition::CreateAlways);
    file.Truncate(size); // sparse: no disk space is used
    EXPECT_EQ(platform::QueryFileFacts(PathOf("big.bin"))->size, size);
}

TEST(FileTimeTest, UnixEpochAndSubSecondParts) {
    EXPECT_EQ(platform::ToFileTime({0, 0}), 116'444'736'000'000'000ull);
    EXPECT_EQ(platform::ToFileTime({1, 500}), 116'444'736'010'000'005ull);
}

} // namespace
