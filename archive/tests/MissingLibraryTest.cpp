// Without its library the archive writer fails clearly and touches no file. A program of its own,
// because a loaded library stays loaded for the life of the process.
#include "archive/Compression.h"
#include "archive/SevenzipLibrary.h"
#include "platform/RuntimeLibraryCandidates.h"
#include "testsupport/HiddenFolder.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace archive {
namespace {

using testsupport::TemporaryFolder;

// The releases keep the library outside the system's search path: hiding every folder it may be
// in is the library not installed. A machine that has none of them has no library to hide, which
// fails: the test would prove nothing there.
class MissingLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const std::string& candidate : platform::SevenZipLibraryCandidates) {
            const std::string folder = std::filesystem::path(candidate).parent_path();
            if (!std::filesystem::exists(folder))
                continue;
            hidden.push_back(std::make_unique<testsupport::HiddenFolder>(folder));
            if (!hidden.back()->Hidden())
                GTEST_SKIP() << hidden.back()->SkipReason();
        }
        ASSERT_FALSE(hidden.empty()) << "none of the 7-Zip library's folders is installed";
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

    std::vector<std::unique_ptr<testsupport::HiddenFolder>> hidden;
    TemporaryFolder folder;
};

TEST_F(MissingLibraryTest, NoArchiveIsCreatedAndAnExistingOneKeepsItsContent) {
    folder.File("F/1.mp3", "recording");
    const std::string fresh = folder / "fresh.zip";
    EXPECT_EQ(CompressFailure(fresh), "Sevenzip: Failed to load 7z.so");
    EXPECT_FALSE(std::filesystem::exists(fresh));

    const std::string older = folder.File("older.zip", "an earlier interview's archive");
    EXPECT_EQ(CompressFailure(older), "Sevenzip: Failed to load 7z.so");
    EXPECT_EQ(testsupport::ReadWholeFile(older), "an earlier interview's archive");
}

TEST_F(MissingLibraryTest, LoadIsTriedAgainAtTheNextNeed) {
    EXPECT_EQ(sevenzip::LoadSevenZipLibrary(), nullptr);
    for (const auto& folder : hidden)
        folder->Reveal();
    EXPECT_NE(sevenzip::LoadSevenZipLibrary(), nullptr);
}

} // namespace
} // namespace archive
