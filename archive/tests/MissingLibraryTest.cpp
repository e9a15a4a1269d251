// Without its library the archive writer fails clearly and touches no file. A program of its own,
// because a loaded library stays loaded for the life of the process.
#include "archive/Compression.h"
#include "archive/SevenzipLibrary.h"
#include "platform/testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace archive {
namespace {

using platform::testing::TemporaryFolder;

class MissingLibraryTest : public ::testing::Test {
protected:
    MissingLibraryTest() { sevenzip::Library().SetFileName("7z-not-installed.so"); }
    ~MissingLibraryTest() override { sevenzip::Library().SetFileName("7z.so"); }

    std::string CompressFailure(const std::string& archivePath) {
        TZipCompressArchive zip(archivePath);
        zip.AddDirectory(L"F", folder.Path() + "/F", true, true);
        try {
            zip.Compress();
        } catch (const ECompressionError& error) {
            EXPECT_FALSE(zip.Compressing());
            return error.what();
        }
        return "no error";
    }

    TemporaryFolder folder;
};

TEST_F(MissingLibraryTest, NoArchiveIsCreatedAndAnExistingOneKeepsItsContent) {
    folder.File("F/1.mp3", "recording");
    const std::string fresh = folder / "fresh.zip";
    EXPECT_EQ(CompressFailure(fresh), "Sevenzip: Failed to load 7z-not-installed.so");
    EXPECT_FALSE(std::filesystem::exists(fresh));

    const std::string older = folder.File("older.zip", "an earlier interview's archive");
    EXPECT_EQ(CompressFailure(older), "Sevenzip: Failed to load 7z-not-installed.so");
    EXPECT_EQ(platform::testing::ReadWholeFile(older), "an earlier interview's archive");
}

TEST_F(MissingLibraryTest, LoadIsTriedAgainAtTheNextNeed) {
    EXPECT_EQ(sevenzip::LoadSevenZipLibrary(), nullptr);
    sevenzip::Library().SetFileName("7z.so");
    EXPECT_NE(sevenzip::LoadSevenZipLibrary(), nullptr);
}

} // namespace
} // namespace archive
