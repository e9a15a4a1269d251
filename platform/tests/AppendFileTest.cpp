#include "platform/AppendFile.h"
#include "platform/FileStream.h"
#include "testsupport/TemporaryFolder.h"

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
    const testsupport::TemporaryFolder scratch("append");
    const fs::path folder = scratch.Path();
    const std::string path = (folder / "log.txt").string();
    std::ofstream(path) << "kept\n";

    auto first = platform::AppendFile::Open(path);
    auto second = platform::AppendFile::Open(path);
    EXPECT_NO_THROW(first.Append("one\n"));
    // Visible at once, with no buffer of this process in between.
    EXPECT_EQ(ContentOf(path), "kept\none\n");
    EXPECT_NO_THROW(second.Append("two\n"));
    EXPECT_NO_THROW(first.Append("three\n"));
    EXPECT_EQ(ContentOf(path), "kept\none\ntwo\nthree\n");

    platform::AppendFile moved = std::move(first);
    EXPECT_NO_THROW(moved.Append("four\n"));
    try {
        first.Append("lost\n");
        ADD_FAILURE() << "a moved-from file took the append";
    } catch (const platform::FileError& failure) {
        EXPECT_EQ(failure.Cause().errorNumber, EBADF);
    }
    EXPECT_EQ(ContentOf(path), "kept\none\ntwo\nthree\nfour\n");
}

TEST(AppendFileTest, MissingFolderRaisesTheSystemsReason) {
    EXPECT_THROW(platform::AppendFile::Open("/nonexistent-station-folder/log.txt"),
                 platform::FileError);
}

} // namespace
