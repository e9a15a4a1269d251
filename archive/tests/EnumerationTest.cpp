// Folder walks and file opening on the real file system.
#include "archive/FileUtils.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace archive {
namespace {

using testsupport::ReadWholeFile;
using testsupport::TemporaryFolder;

class EnumerationTest : public ::testing::Test {
protected:
    EnumerationTest() {
        root.File("F/1.mp3", "one");
        root.File("F/.hidden", "h");
        root.Folder("F/A/A1");
        root.File("F/A/A1/deep.txt", "deep");
        root.Folder("F/B");
        root.Folder("F/.cache/inner");
    }

    std::vector<std::string> Folders(const std::string& start, bool includeHidden,
                                     const std::string& mask = {}) {
        std::vector<std::string> seen;
        EnumerateDirectories(
            start, [&](const std::string& folder) { seen.push_back(folder); }, includeHidden, mask);
        return seen;
    }

    TemporaryFolder root;
    std::string F = root / "F";
};

TEST_F(EnumerationTest, FoldersRootFirstDepthFirstWithTrailingSeparators) {
    EXPECT_EQ(Folders(F, false),
              (std::vector<std::string>{F + "/", F + "/A/", F + "/A/A1/", F + "/B/"}));
    EXPECT_EQ(Folders(F + "/", true),
              (std::vector<std::string>{F + "/", F + "/.cache/", F + "/.cache/inner/", F + "/A/",
                                        F + "/A/A1/", F + "/B/"}));
    // The mask is matched from the root's own trailing separator on.
    EXPECT_EQ(Folders(F, false, "/A/*"),
              (std::vector<std::string>{F + "/", F + "/A/", F + "/A/A1/"}));
}

TEST_F(EnumerationTest, LinkedFoldersAreNotFollowedSoALoopEnds) {
    std::filesystem::create_directory_symlink(F, F + "/B/back-to-F");
    std::filesystem::create_symlink(F + "/1.mp3", F + "/link.mp3");
    EXPECT_EQ(Folders(F, false),
              (std::vector<std::string>{F + "/", F + "/A/", F + "/A/A1/", F + "/B/"}));
    std::vector<std::string> files;
    EnumerateFiles(
        F + "/*", [&](const std::string&, const TSearchRec& entry) { files.push_back(entry.Name); },
        faDirectory, 0);
    EXPECT_EQ(files, (std::vector<std::string>{".hidden", "1.mp3", "link.mp3"}));
}

TEST_F(EnumerationTest, FolderThatCannotBeListedStillReachesTheHandler) {
    EXPECT_EQ(Folders(root / "missing", true), (std::vector<std::string>{root / "missing/"}));
}

TEST_F(EnumerationTest, AbortFlagStopsTheWalk) {
    bool abort = false;
    std::vector<std::string> seen;
    EnumerateDirectories(
        F,
        [&](const std::string& folder) {
            seen.push_back(folder);
            abort = true;
        },
        true, {}, &abort);
    EXPECT_EQ(seen, (std::vector<std::string>{F + "/"}));
}

TEST_F(EnumerationTest, FilesWithFoldersRejectedIncludeHiddenFiles) {
    std::vector<std::string> names;
    EnumerateFiles(
        F + "/*",
        [&](const std::string& folder, const TSearchRec& entry) {
            EXPECT_EQ(folder, F + "/");
            names.push_back(entry.Name);
        },
        faDirectory, 0);
    EXPECT_EQ(names, (std::vector<std::string>{".hidden", "1.mp3"}));

    names.clear();
    EnumerateFiles(
        F + "/*", [&](const std::string&, const TSearchRec& entry) { names.push_back(entry.Name); },
        0, faDirectory);
    EXPECT_EQ(names, (std::vector<std::string>{".cache", "A", "B"}));
}

TEST(AttributesMatch, NormalBitAndIgnoredRequiredBit) {
    EXPECT_TRUE(AttributesMatch(0, 0, faNormal));
    EXPECT_FALSE(AttributesMatch(faDirectory, faDirectory, 0));
    EXPECT_TRUE(AttributesMatch(faHidden, faDirectory, faSymLink));
    EXPECT_FALSE(AttributesMatch(faHidden, 0, faReadOnly));
}

class OpenFileForAccessTest : public ::testing::Test {
protected:
    TemporaryFolder folder;
    std::string existing = folder.File("existing.bin", std::string(1000, 'o'));
    std::string missing = folder / "missing.bin";
};

TEST_F(OpenFileForAccessTest, ReadKindsGiveNothingForMissingFilesAndEmptyNames) {
    for (StreamAccess access : {StreamAccess::ReadOnly, StreamAccess::ReadShared}) {
        EXPECT_EQ(OpenFileForAccess(missing, access), nullptr);
        EXPECT_EQ(OpenFileForAccess(folder.Path(), access), nullptr);
    }
    for (StreamAccess access : {StreamAccess::WriteOnly, StreamAccess::ReadWrite,
                                StreamAccess::ReadOnly, static_cast<StreamAccess>(7)})
        EXPECT_EQ(OpenFileForAccess("", access), nullptr);
    auto reader = OpenFileForAccess(existing, StreamAccess::ReadOnly);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->Size(), 1000);
}

TEST_F(OpenFileForAccessTest, WriteOnlyWritesInPlaceAndKeepsTheLength) {
    {
        auto writer = OpenFileForAccess(existing, StreamAccess::WriteOnly);
        ASSERT_NE(writer, nullptr);
        EXPECT_EQ(writer->Position(), 0);
        writer->Write("new", 3);
    }
    EXPECT_EQ(ReadWholeFile(existing), "new" + std::string(997, 'o'));

    auto created = OpenFileForAccess(missing, StreamAccess::WriteOnly);
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(std::filesystem::exists(missing));
}

TEST_F(OpenFileForAccessTest, CreateNewEmptiesAndHoldsTheFileExclusively) {
    auto created = OpenFileForAccess(existing, StreamAccess::CreateNew);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->Size(), 0);
    EXPECT_THROW(OpenFileForAccess(existing, StreamAccess::ReadOnly), platform::FileError);
    try {
        OpenFileForAccess(folder / "no/such/folder.bin", StreamAccess::CreateNew);
        FAIL();
    } catch (const platform::FileError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file \"" +
                                                 folder / "no/such/folder.bin" +
                                                 "\". No such file or directory");
    }
}

} // namespace
} // namespace archive
