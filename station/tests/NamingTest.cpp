#include "station/Naming.h"
#include "platform/DateTime.h"
#include "station/ExistingRecordings.h"
#include "station/TextRules.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace station;

namespace {

namespace fs = std::filesystem;

TEST(PadLeftTest, PadsShortTextAndNeverCutsLongText) {
    struct Case {
        const char* text;
        int length;
        const char* expected;
    };
    const Case cases[] = {
        {"145", 6, "000145"}, {"12", 3, "012"},    {"  5", 6, "000  5"},
        {"", 3, "000"},       {"0012", 3, "0012"}, {"1234567", 6, "1234567"},
        {"123", 3, "123"},    {"Ё1", 3, "0Ё1"},    {"x", -5, "x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PadLeft(c.text, '0', c.length), c.expected) << c.text << " " << c.length;
}

TEST(UnsafeNameTest, SeparatorsWildcardsAndControlCharactersAreUnsafe) {
    for (const char* unsafe :
         {"1\\2", "../12", "a:b", "1*", "?", "\"", "<", ">", "|", "1\t2", "1\n", "\x7F"})
        EXPECT_TRUE(HasUnsafeNameCharacter(unsafe)) << unsafe;
    for (const char* safe : {"145", "  5", "12-а", "1.2", "№7", ""})
        EXPECT_FALSE(HasUnsafeNameCharacter(safe)) << safe;
}

TEST(NamingTest, NamesOfAnInterview) {
    const platform::DateTime saved = platform::EncodeDateTime({2025, 3, 5, 9, 30, 0});
    const platform::DateTime closed = platform::EncodeDateTime({2025, 3, 6, 17, 45, 12});
    EXPECT_EQ(InterviewFolderFor("/home/u/Desktop", saved, "000145", "012"),
              "/home/u/Desktop/01-05032025-000145-012");
    EXPECT_EQ(RecordingFileName("/d/01-05032025-000145-012", 10),
              "/d/01-05032025-000145-012/10.mp3");
    EXPECT_EQ(ReportFileName(closed, "000145", "012"), "01-06032025-000000-000145-012.csv");
    EXPECT_EQ(ArchiveFileName("/home/u/Desktop", closed, "1234567", "0012"),
              "/home/u/Desktop/01-06032025-1234567-0012.zip");
    EXPECT_TRUE(TestRecordingFileName().ends_with("/test01.mp3"));
}

TEST(ExistingRecordingsTest, OnlyNamesTheStationWritesCountInNumericOrder) {
    const testsupport::TemporaryFolder scratch("existing");
    const fs::path folder = scratch.Path();
    for (const char* name : {"2.mp3", "10.mp3", "1.mp3", "0.mp3", "01.mp3", "a.mp3", "3.MP3",
                             "4.mp3.tmp", "99999999999.mp3", "2147483647.mp3", "-5.mp3", ".mp3",
                             "01-05032025-000000-000145-012.csv"})
        std::ofstream(folder / name) << "x";
    // Named like recordings but no recording files: a folder, and a link to a recording.
    fs::create_directory(folder / "12.mp3");
    fs::create_symlink(folder / "1.mp3", folder / "11.mp3");
    const ExistingRecordings found = FindExistingRecordings(folder.string());
    EXPECT_EQ(found.recordings, (std::vector<long long>{1, 2, 10}));
    EXPECT_EQ(found.others, (std::vector<long long>{11, 12}));
    EXPECT_EQ(found.NextNumber(), 13);
    EXPECT_EQ(ExistingRecordings{}.NextNumber(), 1);
    EXPECT_THROW(FindExistingRecordings((folder / "missing").string()), std::runtime_error);
}

} // namespace
