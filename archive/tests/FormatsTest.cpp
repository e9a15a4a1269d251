// The format registry and the zip archive's settings.
#include "archive/Compression.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace archive {
namespace {

TEST(ArchiveFormats, RegistersTheEightFormatsInOrder) {
    const auto& formats = ArchiveFormats();
    ASSERT_EQ(formats.CompressFormatCount(), 8u);
    const char* names[] = {"Zip archive",  "BZip2 archive", "7z archive",  "Tar archive",
                           "GZip archive", "Xz archive",    "Swf archive", "Wim archive"};
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_STREQ(formats.CompressFormat(i).FormatName, names[i]);
    EXPECT_STREQ(formats.CompressFormat(4).SubExtensions, ".tgz=.tar;.tpz=.tar");
    EXPECT_EQ(&ArchiveFormats(), &formats);
}

TEST(ArchiveFormats, CompressClassForMatchesWholeNamesIgnoringCase) {
    struct Case {
        const char* fileName;
        const char* className; // nullptr: no format
    };
    const Case cases[] = {
        {"/home/u/Desktop/01-05032026-000145-012.zip", "TZipCompressArchive"},
        {"/home/u/Desktop/01-05032026-000145-012.ZIP", "TZipCompressArchive"},
        {"C:\\Users\\u\\Desktop\\report.docx", "TZipCompressArchive"},
        {"backup.tgz", "TGZipCompressArchive"},
        {"data.tar", "TTarCompressArchive"},
        {"data.7z", "T7zCompressArchive"},
        {"x.tbz", "TBZ2CompressArchive"},
        {"x.swm", "TWimCompressArchive"},
        {"/home/u/notes.txt", nullptr},
        {"/home/u/zip", nullptr},
    };
    for (const Case& c : cases) {
        const TCompressArchiveClass* format = ArchiveFormats().CompressClassFor(c.fileName);
        EXPECT_STREQ(format ? format->ClassName : nullptr, c.className) << c.fileName;
    }
}

TEST(ZipCompressArchive, ConstructionTouchesNoFileAndSetsTheDefaults) {
    testsupport::TemporaryFolder folder;
    const std::string name = folder / "a.zip";
    auto archive = ArchiveFormats().CompressClassFor(name)->Create(name, 0, false);
    auto* zip = dynamic_cast<TZipCompressArchive*>(archive.get());
    ASSERT_NE(zip, nullptr);
    EXPECT_FALSE(std::filesystem::exists(name));
    ASSERT_EQ(zip->VolumeCount(), 1u);
    EXPECT_EQ(zip->Volume(0).FileName, name);
    EXPECT_EQ(zip->Volume(0).Stream(), nullptr);
    EXPECT_EQ(zip->CurrentVolume, -1);
    EXPECT_EQ(zip->HandlerClassId(), sevenzip::HandlerClass(0x01));
    EXPECT_EQ(GuidToString(zip->HandlerClassId()), "{23170F69-40C1-278A-1000-000110010000}");

    EXPECT_EQ(zip->NumberOfThreads(), 1u);
    EXPECT_EQ(zip->EncryptionMethod(), TEncryptionMethod::ZipCrypto);
    EXPECT_EQ(zip->DictionarySize(), 900000u);
    EXPECT_EQ(zip->CompressionLevel(), 7u);
    EXPECT_EQ(zip->CompressionMethod(), TCompressionMethod::Deflate);
    EXPECT_EQ(zip->NumberOfPasses(), 3u);
    EXPECT_EQ(zip->Algorithm(), 1u);
}

TEST(ZipCompressArchive, SettersRefuseValuesOutsideTheirRange) {
    TZipCompressArchive zip("unused.zip");
    const auto refused = [](auto&& set) {
        try {
            set();
        } catch (const ECompressionError& error) {
            return std::string(error.what()) == PropertyNotAvailableText;
        }
        return false;
    };
    EXPECT_TRUE(refused([&] { zip.SetCompressionMethod(TCompressionMethod::LZMA2); }));
    EXPECT_TRUE(refused([&] { zip.SetEncryptionMethod(static_cast<TEncryptionMethod>(5)); }));
    EXPECT_TRUE(refused([&] { zip.SetCompressionLevel(10); }));
    EXPECT_TRUE(refused([&] { zip.SetAlgorithm(2); }));
    EXPECT_EQ(zip.CompressionMethod(), TCompressionMethod::Deflate);
    EXPECT_EQ(zip.CompressionLevel(), 7u);
}

TEST(ZipCompressArchive, LevelTunesTheMethodsOtherSettings) {
    struct Case {
        TCompressionMethod method;
        std::uint32_t level;
        std::uint32_t passes;
        std::uint32_t algorithm;
        std::uint32_t dictionary;
    };
    const Case cases[] = {
        {TCompressionMethod::Deflate, 9, 10, 1, 900000},
        {TCompressionMethod::Deflate, 5, 1, 1, 900000},
        {TCompressionMethod::Deflate64, 4, 1, 0, 900000},
        {TCompressionMethod::BZip2, 7, 2, 1, 900000},
        {TCompressionMethod::BZip2, 3, 1, 1, 500000},
        {TCompressionMethod::BZip2, 1, 1, 1, 100000},
        {TCompressionMethod::LZMA, 9, 3, 1, 64u << 20},
        {TCompressionMethod::LZMA, 3, 3, 0, 1u << 20},
        {TCompressionMethod::LZMA, 0, 3, 0, 64u << 10},
    };
    for (const Case& c : cases) {
        TZipCompressArchive zip("unused.zip");
        zip.SetCompressionMethod(c.method);
        zip.SetCompressionLevel(c.level);
        EXPECT_EQ(zip.NumberOfPasses(), c.passes) << c.level;
        EXPECT_EQ(zip.Algorithm(), c.algorithm) << c.level;
        EXPECT_EQ(zip.DictionarySize(), c.dictionary) << c.level;
    }
}

} // namespace
} // namespace archive
