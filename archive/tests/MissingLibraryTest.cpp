// Without its library the archive writer fails clearly and touches no file. A program of its own,
// because a loaded library stays loaded for the life of the process.
#include "archive/Compression.h"
#include "archive/SevenzipLibrary.h"
#include "platform/testing/HiddenFolder.h"
#include "platform/testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace archive {
namespace {

using platform::testing::TemporaryFolder;

// Debian's p7zip-full keeps the library there, outside the system's search path: hiding the
// folder is the library not installed.
class MissingLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!p7zip.Hidden())
            GTEST_SKIP() << p7zip.SkipReason();
        // Once loaded, a library stays loaded: the tests below run in their order, the one that
        // brings the library back last.
        ASSERT_FALSE(sevenzip::Library().Loaded());
    }

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

    platform::testing::HiddenFolder p7zip{"/usr/lib/p7zip"};
    TemporaryFolder folder;
};

TEST_F(MissingLibraryTest, NoArchiveIsCreatedAndAnExistingOneKeepsItsContent) {
    folder.File("F/1.mp3", "recording");
    const std::string fresh = folder / "fresh.zip";
    EXPECT_EQ(CompressFailure(fresh), "Sevenzip: Failed to load 7z.so");
    EXPECT_FALSE(std::filesystem::exists(fresh));

    const std::string older = folder.File("older.zip", "an earlier interview's archive");
    EXPECT_EQ(CompressFailure(older), "Sevenzip: Failed to load 7z.so");
    EXPECT_EQ(platform::testing::ReadWholeFile(older), "an earlier interview's archive");
}

TEST_F(MissingLibraryTest, LoadIsTriedAgainAtTheNextNeed) {
    EXPECT_EQ(sevenzip::LoadSevenZipLibrary(), nullptr);
    p7zip.Reveal();
    EXPECT_NE(sevenzip::LoadSevenZipLibrary(), nullptr);
}

} // namespace
} // namespace archive
