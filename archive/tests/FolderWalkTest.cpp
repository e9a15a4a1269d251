// The items an archive collects from a folder tree, in the order and under the names it stores.
#include "archive/Compression.h"
#include "archive/tests/WindowsPathStyle.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace archive {
namespace {

using testsupport::TemporaryFolder;

std::vector<std::wstring> PackedNames(const TCompressionArchive& archive) {
    std::vector<std::wstring> names;
    for (std::size_t i = 0; i < archive.ItemCount(); ++i)
        names.push_back(archive.Item(i).PackedName());
    return names;
}

// The walk's steps: each folder is named relative to the folder added before it.
TEST(PackedPathFor, FolderWalkStepsInBothPathStyles) {
    struct Case {
        const char* item;
        const char* oldBase;
        const wchar_t* newBase;
        const wchar_t* packed;
    };
    const Case cases[] = {
        {"C:\\r\\F\\", "C:\\r\\F", L"F", L"F\\"},
        {"C:\\r\\F\\1.mp3", "C:\\r\\F", L"F", L"F\\1.mp3"},
        {"C:\\r\\F\\S\\", "C:\\r\\F", L"F", L"F\\S"},
        {"C:\\r\\F\\S\\g", "C:\\r\\F\\S", L"F\\S", L"F\\S\\g"},
        {"C:\\r\\F\\T\\", "C:\\r\\F\\S", L"F\\S", L"F\\T"},
        {"c:\\R\\f\\T\\U\\", "C:\\r\\F\\T", L"F\\T", L"F\\T\\U"},
    };
    const auto posix = [](std::string text) {
        for (char& c : text)
            if (c == '\\')
                c = '/';
        return text.substr(2); // no drive
    };
    const auto posixWide = [](std::wstring text) {
        for (wchar_t& c : text)
            if (c == L'\\')
                c = L'/';
        return text;
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PackedPathFor(c.item, c.oldBase, c.newBase, WindowsPathStyle), c.packed)
            << c.item;
        if (std::string(c.item).front() == 'C') { // POSIX names keep their case
            EXPECT_EQ(PackedPathFor(posix(c.item), posix(c.oldBase), posixWide(c.newBase),
                                    PosixPathStyle),
                      posixWide(c.packed))
                << c.item;
        }
    }
}

class FolderWalkTest : public ::testing::Test {
protected:
    TemporaryFolder scratch;
    std::string F = scratch.Folder("F");
    TZipCompressArchive zip{scratch / "F.zip"};
};

TEST_F(FolderWalkTest, InterviewFolderGivesTheFolderThenItsFiles) {
    scratch.File("F/1.mp3", "first");
    scratch.File("F/2.mp3", "second!");
    scratch.File("F/01-05032026-000000-000145-012.csv", "report");
    EXPECT_EQ(zip.AddDirectory(L"F", F, true, true), 0);

    EXPECT_EQ(PackedNames(zip),
              (std::vector<std::wstring>{L"F/", L"F/01-05032026-000000-000145-012.csv", L"F/1.mp3",
                                         L"F/2.mp3"}));
    const TCompressionItem& folder = zip.Item(0);
    EXPECT_TRUE(folder.IsDirectory());
    EXPECT_EQ(folder.FileSize(), 0);
    EXPECT_EQ(folder.FileName(), F + "/");
    const TCompressionItem& second = zip.Item(3);
    EXPECT_FALSE(second.IsDirectory());
    EXPECT_EQ(second.FileSize(), 7);
    EXPECT_EQ(second.FileName(), F + "/2.mp3");
    EXPECT_EQ(second.HostOS(), L"Windows");
    EXPECT_NE(second.LastWriteTime(), 0u);
    EXPECT_EQ(second.IndexInArchive, -1);
}

TEST_F(FolderWalkTest, EmptyFolderGivesOneItem) {
    zip.AddDirectory(L"F", F, true, true);
    EXPECT_EQ(PackedNames(zip), (std::vector<std::wstring>{L"F/"}));
}

TEST_F(FolderWalkTest, SiblingSubfoldersTranslateBackThroughParent) {
    scratch.File("F/top.txt", "t");
    scratch.File("F/S/g", "g");
    scratch.File("F/.h/hidden.txt", "h");
    scratch.Folder("F/T/U");
    zip.AddDirectory(L"Интервью", F, true, true);
    EXPECT_EQ(PackedNames(zip),
              (std::vector<std::wstring>{L"Интервью/", L"Интервью/top.txt", L"Интервью/.h",
                                         L"Интервью/.h/hidden.txt", L"Интервью/S", L"Интервью/S/g",
                                         L"Интервью/T", L"Интервью/T/U"}));
}

// Only regular files and folders are walked into the archive: a link (to a device, a file or a
// folder elsewhere), a FIFO or a socket would be read for ever, block, or take what is not the
// folder's; they are left out, in subfolders too.
TEST_F(FolderWalkTest, LinksFifosAndSocketsAreLeftOut) {
    scratch.File("F/1.mp3", "first");
    scratch.File("F/S/g", "g");
    const std::string outside = scratch.File("outside.txt", "not the folder's");
    std::filesystem::create_symlink("/dev/zero", F + "/notes.txt");
    std::filesystem::create_symlink(outside, F + "/S/copy.txt");
    std::filesystem::create_directory_symlink(scratch.Path(), F + "/up");
    ASSERT_EQ(::mkfifo((F + "/pipe").c_str(), 0644), 0);
    ASSERT_EQ(::mknod((F + "/S/socket").c_str(), S_IFSOCK | 0644, 0), 0);
    zip.AddDirectory(L"F", F, true, true);
    EXPECT_EQ(PackedNames(zip), (std::vector<std::wstring>{L"F/", L"F/1.mp3", L"F/S", L"F/S/g"}));
}

TEST_F(FolderWalkTest, WithoutRecursionOnlyTheFolderUnderItsExactNameAndItsFiles) {
    scratch.File("F/a.txt", "a");
    scratch.File("F/S/g", "g");
    EXPECT_EQ(zip.AddDirectory(L"Top", F, false, true), 0);
    EXPECT_EQ(PackedNames(zip), (std::vector<std::wstring>{L"Top", L"Top/a.txt"}));
}

TEST_F(FolderWalkTest, ItemsKeepEqualNamesAndMissingFilesAddWithoutFacts) {
    EXPECT_EQ(zip.AddFile(L"same", scratch.File("x", "12345")), 0);
    EXPECT_EQ(zip.AddFile(L"same", scratch / "gone"), 1);
    EXPECT_EQ(zip.Item(0).FileSize(), 5);
    EXPECT_EQ(zip.Item(1).FileSize(), 0);
    EXPECT_EQ(zip.Item(1).LastWriteTime(), 0u);
}

TEST_F(FolderWalkTest, MethodNameCannotBeSetOnNewItems) {
    zip.AddFile(L"x", scratch.File("x", "1"));
    try {
        zip.Item(0).SetMethodName(L"Deflate");
        FAIL();
    } catch (const ECompressionError& error) {
        EXPECT_STREQ(error.what(), "write is not an supported operation.");
    }
    zip.Item(0).SetPackedExtension(L"mp3");
    EXPECT_EQ(zip.Item(0).PackedExtension(), L".mp3");
}

TEST_F(FolderWalkTest, NothingChangesWhileCompressing) {
    scratch.File("F/1.mp3", std::string(100000, 'a'));
    zip.AddDirectory(L"F", F, true, true);
    std::string refusal;
    zip.OnProgress = [&](std::uint64_t, std::uint64_t) {
        try {
            zip.AddDirectory(L"late", F, true, true);
        } catch (const ECompressionError& error) {
            refusal = error.what();
        }
        EXPECT_THROW(zip.Item(0).SetPackedName(L"renamed"), ECompressionError);
        EXPECT_THROW(zip.SetCompressionLevel(1), ECompressionError);
        EXPECT_THROW(zip.Compress(), ECompressionError);
    };
    zip.Compress();
    EXPECT_EQ(refusal, NotWhileCompressingText);
    EXPECT_EQ(zip.ItemCount(), 2u);
    zip.AddFile(L"after", F + "/1.mp3");
    EXPECT_EQ(zip.ItemCount(), 3u);
}

} // namespace
} // namespace archive
