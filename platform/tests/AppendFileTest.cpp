#include "platform/AppendFile.h"
#include "platform/FileStream.h"
#include "platform/testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string ContentOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(AppendFileTest, EveryAppendLandsAtTheEndWhoeverWrote) {
    const platform::testing::TemporaryFolder scratch("append");
    const fs::path folder = scratch.Path();
    const std::string path = (folder / "log.txt").string();
    std::ofstream(path) << "kept\n";

    auto first = platform::AppendFile::Open(path);
    auto second = platform::AppendFile::Open(path);
    EXPECT_EQ(first.Append("one\n"), 0);
    // Visible at once, with no buffer of this process in between.
    EXPECT_EQ(ContentOf(path), "kept\none\n");
    EXPECT_EQ(second.Append("two\n"), 0);
    EXPECT_EQ(first.Append("three\n"), 0);
    EXPECT_EQ(ContentOf(path), "kept\none\ntwo\nthree\n");

    platform::AppendFile moved = std::move(first);
    EXPECT_EQ(moved.Append("four\n"), 0);
    EXPECT_EQ(first.Append("lost\n"), EBADF);
    EXPECT_EQ(ContentOf(path), "kept\none\ntwo\nthree\nfour\n");
}

TEST(AppendFileTest, MissingFolderRaisesTheSystemsReason) {
    EXPECT_THROW(platform::AppendFile::Open("/nonexistent-station-folder/log.txt"),
                 platform::FileError);
}

} // namespace
