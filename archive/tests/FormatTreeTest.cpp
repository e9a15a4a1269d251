// Every format the registry can create, given the same folder tree and written through the real
// 7-Zip library, is accepted by 7-Zip's own test and by the format's own tool; a format that cannot
// hold a tree refuses it by name.
#include "archive/Compression.h"
#include "archive/tests/RunCommand.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace archive {
namespace {

using testing::Quoted;
using testing::RunCommand;
using testsupport::TemporaryFolder;

struct FormatCase {
    const char* FormatName;
    const char* Extension;
    // The format's own test of the file ("%s" is the archive), empty when there is none.
    const char* OwnTest;
    // How the tree's names are listed: by 7-Zip, or by tar from the tar inside.
    const char* Listing;
    bool Refused;
};

const FormatCase Cases[] = {
    {"Zip archive", ".zip", "unzip -t %s", "7z l -ba %s", false},
    {"BZip2 archive", ".tbz2", "bzip2 -t %s", "tar -tjf %s", false},
    {"7z archive", ".7z", "", "7z l -ba %s", false},
    {"Tar archive", ".tar", "tar -tf %s", "tar -tf %s", false},
    {"GZip archive", ".tar.gz", "gzip -t %s", "tar -tzf %s", false},
    {"Xz archive", ".txz", "xz -t %s", "tar -tJf %s", false},
    {"Swf archive", ".swf", "", "", true},
    {"Wim archive", ".wim", "", "7z l -ba %s", false},
};

std::string WithArchive(const std::string& pattern, const std::string& archive) {
    std::string command = pattern;
    command.replace(command.find("%s"), 2, Quoted(archive));
    return command;
}

class FormatTreeTest : public ::testing::TestWithParam<FormatCase> {
protected:
    void SetUp() override {
        scratch.File("F/1.mp3", std::string(70000, 'a'));
        scratch.File("F/S/g.txt", "g");
        scratch.Folder("F/T");
    }
    TemporaryFolder scratch;
};

TEST_P(FormatTreeTest, WritesAFolderTreeItsOwnToolAccepts) {
    const FormatCase& format = GetParam();
    const std::string archivePath = scratch / (std::string("tree") + format.Extension);
    const TCompressArchiveClass* found = ArchiveFormats().CompressClassFor(archivePath);
    ASSERT_NE(found, nullptr);
    ASSERT_STREQ(found->FormatName, format.FormatName);

    std::unique_ptr<TCompressArchive> archive = found->Create(archivePath, 0, false);
    archive->AddDirectory(L"F", scratch / "F", true, true);
    // A folder known only by its name inside the archive, with nothing on disk behind it.
    archive->AddDirectory(L"F/Bare");

    if (format.Refused) {
        try {
            archive->Compress();
            FAIL() << "a tree was accepted";
        } catch (const ECompressionError& error) {
            EXPECT_NE(std::string(error.what()).find(format.FormatName), std::string::npos)
                << error.what();
        }
        EXPECT_FALSE(std::filesystem::exists(archivePath));
        return;
    }
    archive->Compress();
    archive.reset();

    const auto sevenZipTest = RunCommand("7z t " + Quoted(archivePath));
    EXPECT_EQ(sevenZipTest.ExitCode, 0) << sevenZipTest.Output;
    if (*format.OwnTest) {
        const auto ownTest = RunCommand(WithArchive(format.OwnTest, archivePath));
        EXPECT_EQ(ownTest.ExitCode, 0) << ownTest.Output;
    }
    const auto listing = RunCommand(WithArchive(format.Listing, archivePath));
    EXPECT_EQ(listing.ExitCode, 0) << listing.Output;
    for (const char* name : {"F/1.mp3", "F/S/g.txt", "F/T", "F/Bare"})
        EXPECT_NE(listing.Output.find(name), std::string::npos) << name << " in\n"
                                                                << listing.Output;
    // The wrapped tar leaves no temporary file beside the archive.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(scratch.Path()))
        ++entries;
    EXPECT_EQ(entries, 2u) << "only F and the archive";
}

INSTANTIATE_TEST_SUITE_P(EveryWritableFormat, FormatTreeTest, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<FormatCase>& info) {
                             std::string name = info.param.FormatName;
                             return name.substr(0, name.find(' '));
                         });

TEST(FormatTree, EveryRegisteredFormatHasACase) {
    ASSERT_EQ(ArchiveFormats().CompressFormatCount(), std::size(Cases));
    for (std::size_t i = 0; i < std::size(Cases); ++i)
        EXPECT_STREQ(ArchiveFormats().CompressFormat(i).FormatName, Cases[i].FormatName);
}

TEST(FormatTree, StreamFormatKeepsASingleFileAsItIs) {
    TemporaryFolder scratch;
    const std::string archivePath = scratch / "answer.mp3.gz";
    const std::string content(5000, 'z');
    scratch.File("answer.mp3", content);
    std::unique_ptr<TCompressArchive> archive =
        ArchiveFormats().CompressClassFor(archivePath)->Create(archivePath, 0, false);
    archive->AddFile(L"answer.mp3", scratch / "answer.mp3");
    archive->Compress();
    archive.reset();
    const auto unpacked = RunCommand("gzip -dc " + Quoted(archivePath));
    EXPECT_EQ(unpacked.ExitCode, 0);
    EXPECT_EQ(unpacked.Output, content);
}

} // namespace
} // namespace archive
