// Interview-like folders written through the real 7-Zip library and read back by independent
// readers: unzip's own test and Python's zipfile.
#include "archive/Compression.h"
#include "archive/tests/RunCommand.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace archive {
namespace {

using testing::Quoted;
using testing::RunCommand;
using testsupport::ReadWholeFile;
using testsupport::TemporaryFolder;

std::string Compressible(std::size_t size) {
    std::string text;
    for (std::size_t i = 0; text.size() < size; ++i)
        text += "participant answer block " + std::to_string(i % 97) + "\n";
    text.resize(size);
    return text;
}

// Writes `folder` into `archivePath` the way the station does at interview close.
void ArchiveFolder(const std::string& archivePath, const std::string& folder,
                   const std::wstring& packedName) {
    const TCompressArchiveClass* format = ArchiveFormats().CompressClassFor(archivePath);
    ASSERT_NE(format, nullptr);
    std::unique_ptr<TCompressArchive> zip = format->Create(archivePath, 0, false);
    zip->AddDirectory(packedName, folder, true, true);
    zip->Compress();
}

// Python's zipfile: one line per entry (name, method), and the contents extracted to `into`.
std::string PythonListing(const std::string& archivePath, const std::string& into) {
    const std::string script =
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "assert z.testzip() is None\n"
        "for i in z.infolist(): print(i.filename, i.compress_type, sep='|')\n"
        "z.extractall(sys.argv[2])\n";
    const auto result =
        RunCommand("python3 -c " + Quoted(script) + " " + Quoted(archivePath) + " " + Quoted(into));
    EXPECT_EQ(result.ExitCode, 0) << result.Output;
    return result.Output;
}

class ZipArchiveTest : public ::testing::Test {
protected:
    TemporaryFolder scratch;
    std::string interview = scratch.Folder("01-05032026-000145-012");
    std::string archivePath = scratch / "01-05032026-000145-012.zip";
};

TEST_F(ZipArchiveTest, TreeReadsBackIdenticallyInTwoIndependentReaders) {
    const std::map<std::string, std::string> files = {
        {"1.mp3", Compressible(300000)}, {"empty.bin", ""},
        {".hidden", Compressible(1000)}, {"отчёт.csv", Compressible(5000)},
        {"A/a.txt", Compressible(2000)}, {"A/B/b.txt", Compressible(3000)},
    };
    for (const auto& [name, content] : files)
        scratch.File("01-05032026-000145-012/" + name, content);
    scratch.Folder("01-05032026-000145-012/E");

    ArchiveFolder(archivePath, interview, L"01-05032026-000145-012");

    const auto unzipTest = RunCommand("unzip -t " + Quoted(archivePath));
    EXPECT_EQ(unzipTest.ExitCode, 0) << unzipTest.Output;
    EXPECT_NE(unzipTest.Output.find("No errors detected"), std::string::npos);

    const std::string extracted = scratch.Folder("extracted");
    const std::string listing = PythonListing(archivePath, extracted);
    const std::string F = "01-05032026-000145-012/";
    // Folder first, its files in name order, then each subfolder depth first.
    const std::string expected = F + "|0\n" + F + ".hidden|8\n" + F + "1.mp3|8\n" + F +
                                 "empty.bin|0\n" + F + "отчёт.csv|8\n" + F + "A/|0\n" + F +
                                 "A/a.txt|8\n" + F + "A/B/|0\n" + F + "A/B/b.txt|8\n" + F +
                                 "E/|0\n";
    EXPECT_EQ(listing, expected);
    for (const auto& [name, content] : files)
        EXPECT_EQ(ReadWholeFile(extracted + "/" + F + name), content) << name;
    EXPECT_TRUE(std::filesystem::is_directory(extracted + "/" + F + "E"));
}

TEST_F(ZipArchiveTest, OlderLongerArchiveOfTheSameNameLeavesNoBytesBehind) {
    scratch.File("01-05032026-000145-012/1.mp3", Compressible(10000));
    const std::string fresh = scratch / "fresh.zip";
    ArchiveFolder(fresh, interview, L"F");

    scratch.File("01-05032026-000145-012.zip", std::string(2'000'000, 'x'));
    ArchiveFolder(archivePath, interview, L"F");

    EXPECT_EQ(std::filesystem::file_size(archivePath), std::filesystem::file_size(fresh));
    const auto unzipTest = RunCommand("unzip -t " + Quoted(archivePath));
    EXPECT_EQ(unzipTest.ExitCode, 0) << unzipTest.Output;
}

TEST_F(ZipArchiveTest, ItemFileDeletedBeforeCompressFailsLoudly) {
    const std::string victim = scratch.File("01-05032026-000145-012/2.mp3", Compressible(5000));
    TZipCompressArchive zip(archivePath);
    zip.AddDirectory(L"F", interview, true, true);
    std::filesystem::remove(victim);
    try {
        zip.Compress();
        FAIL() << "Compress reported success without the file";
    } catch (const sevenzip::ESystemError& error) {
        EXPECT_EQ(std::string(error.what()), "Sevenzip: Stream object is not assigned");
    }
    EXPECT_FALSE(zip.Compressing());
}

TEST_F(ZipArchiveTest, ArchivePathThatCannotBeWrittenFailsWithTheFileError) {
    scratch.File("01-05032026-000145-012/1.mp3", "data");
    const std::string unwritable = scratch / "no-such-folder/x.zip";
    TZipCompressArchive zip(unwritable);
    zip.AddDirectory(L"F", interview, true, true);
    try {
        zip.Compress();
        FAIL() << "Compress reported success";
    } catch (const sevenzip::ESystemError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + unwritable + "\". No such file or directory");
        EXPECT_EQ(static_cast<std::uint32_t>(error.ErrorCode), 0x80070002u);
    }
    EXPECT_FALSE(std::filesystem::exists(unwritable));
}

TEST_F(ZipArchiveTest, ConstructingTouchesNoFileAndCompressingTwiceRewrites) {
    scratch.File("01-05032026-000145-012/1.mp3", Compressible(4000));
    TZipCompressArchive zip(archivePath);
    zip.AddDirectory(L"F", interview, true, true);
    EXPECT_FALSE(std::filesystem::exists(archivePath));
    zip.Compress();
    const auto first = std::filesystem::file_size(archivePath);
    zip.Compress();
    EXPECT_EQ(std::filesystem::file_size(archivePath), first);
}

} // namespace
} // namespace archive
