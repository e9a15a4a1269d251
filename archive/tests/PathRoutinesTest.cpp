// The path routines decide the names stored in archives, in both path styles.
#include "archive/FileUtils.h"
#include "archive/tests/WindowsPathStyle.h"

#include <gtest/gtest.h>

namespace archive {
namespace {

struct PathCase {
    const char* input;
    const char* expected;
};

// Cases written in the Windows style; the POSIX style runs them with "/" and without drives.
std::string Posix(std::string text) {
    for (char& c : text)
        if (c == '\\')
            c = '/';
    return text;
}

TEST(NormalizePath, ResolvesDotsKeepsTrailingAndDoubledSeparators) {
    const PathCase both[] = {
        {"F\\", "F\\"},
        {"F\\.", "F"},
        {"F\\S\\..\\T", "F\\T"},
        {"..\\x", "..\\x"},
        {"a\\..\\..\\b", "..\\b"},
        {"", "."},
        {".", "."},
        {"F\\\\S", "F\\\\S"},
        {"\\a\\..\\..\\b", "\\b"},
        {"\\\\srv\\a\\..\\b", "\\\\srv\\b"},
    };
    for (const PathCase& c : both) {
        EXPECT_EQ(NormalizePath(c.input, WindowsPathStyle), c.expected) << c.input;
        EXPECT_EQ(NormalizePath(Posix(c.input), PosixPathStyle), Posix(c.expected)) << c.input;
    }
    EXPECT_EQ(NormalizePath("C:\\a\\..\\..\\b", WindowsPathStyle), "C:\\b");
    EXPECT_EQ(NormalizePath("C:a\\..\\b", WindowsPathStyle), "C:b");
    // A colon is an ordinary character in POSIX names.
    EXPECT_EQ(NormalizePath("/x/a:b/../c", PosixPathStyle), "/x/c");
}

TEST(RelativePathBetween, WindowsStyle) {
    struct Case {
        const char* origin;
        const char* target;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\r\\F", "C:\\r\\F\\", ""},
        {"C:\\r\\F", "C:\\r\\F", "."},
        {"C:\\r\\F", "c:\\R\\f", "."},
        {"C:\\r\\F", "C:\\r\\F\\1.mp3", "1.mp3"},
        {"C:\\r\\F", "C:\\r\\F\\S\\g", "S\\g"},
        {"C:\\r\\F\\S", "C:\\r\\F\\T\\", "..\\T"},
        {"C:\\r\\F", "D:\\x", "D:\\x"},
        {"C:\\r\\F", "\\x", "C:\\x"},
        {"C:\\r\\F", "x\\y", "C:\\r\\F\\x\\y"},
        {"", "x", "x"},
        {"C:\\r", "", "."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RelativePathBetween(c.origin, c.target, WindowsPathStyle), c.expected)
            << c.origin << " -> " << c.target;
}

TEST(RelativePathBetween, PosixStyleComparesExactly) {
    struct Case {
        const char* origin;
        const char* target;
        const char* expected;
    };
    const Case cases[] = {
        {"/d/F", "/d/F/", ""},
        {"/d/F", "/d/F", "."},
        {"/d/F", "/d/f", "../f"},
        {"/d/F", "/d/F/1.mp3", "1.mp3"},
        {"/d/F/S", "/d/F/T/", "../T"},
        {"/d/F", "S/g", "/d/F/S/g"},
        {"/d/F/Папка", "/d/F/Папка/отчёт.csv", "отчёт.csv"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RelativePathBetween(c.origin, c.target, PosixPathStyle), c.expected)
            << c.origin << " -> " << c.target;
}

TEST(PathPieces, SeparatorsRootsAndDrives) {
    EXPECT_EQ(AddTrailingSeparator("", WindowsPathStyle), "\\");
    EXPECT_EQ(AddTrailingSeparator("a\\", WindowsPathStyle), "a\\");
    EXPECT_EQ(AddTrailingSeparator("a", PosixPathStyle), "a/");
    EXPECT_EQ(RemoveTrailingSeparator("a\\\\", WindowsPathStyle), "a\\");
    EXPECT_EQ(RemoveTrailingSeparator("", PosixPathStyle), "");
    EXPECT_EQ(RemoveTrailingSeparator("/a/", PosixPathStyle), "/a");

    EXPECT_TRUE(IsRootedPath("C:\\x", WindowsPathStyle));
    EXPECT_FALSE(IsRootedPath("C:x", WindowsPathStyle));
    EXPECT_FALSE(IsRootedPath("C:", WindowsPathStyle));
    EXPECT_TRUE(IsRootedPath("\\\\srv\\share\\x", WindowsPathStyle));
    EXPECT_TRUE(IsRootedPath("\\x", WindowsPathStyle));
    EXPECT_TRUE(IsRootedPath("/x", PosixPathStyle));
    EXPECT_FALSE(IsRootedPath("C:/x", PosixPathStyle));

    EXPECT_EQ(DrivePart("c:\\x", WindowsPathStyle), "c:");
    EXPECT_EQ(DrivePart("\\\\srv\\share\\x", WindowsPathStyle), "\\\\srv\\share");
    EXPECT_EQ(DrivePart("C:/x", PosixPathStyle), "");
}

} // namespace
} // namespace archive
