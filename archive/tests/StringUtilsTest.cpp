#include "archive/StringUtils.h"

#include <gtest/gtest.h>

namespace archive {
namespace {

TEST(SplitAndJoin, PiecesAndEmptyEntries) {
    TStringList list{"stale"};
    SplitAtChar("*.bz2;*.bzip2;*.tbz2;*.tbz", ';', list);
    EXPECT_EQ(list, (TStringList{"*.bz2", "*.bzip2", "*.tbz2", "*.tbz"}));
    SplitAtChar("a;;b;", ';', list);
    EXPECT_EQ(list, (TStringList{"a", "", "b"}));
    SplitAtChar(";a", ';', list);
    EXPECT_EQ(list, (TStringList{"", "a"}));
    SplitAtChar("", ';', list);
    EXPECT_TRUE(list.empty());

    SplitString("a\\\\b\\", "\\", list, true);
    EXPECT_EQ(list, (TStringList{"a", "", "b", ""}));
    SplitString("a\\\\b\\", "\\", list, false);
    EXPECT_EQ(list, (TStringList{"a", "b"}));
    SplitString("x--y", "--", list, false);
    EXPECT_EQ(list, (TStringList{"x", "y"}));

    EXPECT_EQ(JoinStrings({"a", "", "b"}, "\\", true), "a\\\\b");
    EXPECT_EQ(JoinStrings({"a", "", "b"}, "\\", false), "a\\b");
    EXPECT_EQ(JoinStrings({"", ""}, "/", false), "");
    EXPECT_EQ(JoinStrings({}, "/", true), "");
}

TEST(MatchesWildcard, StarsQuestionMarksAndStart) {
    struct Case {
        const char* pattern;
        const char* text;
        std::size_t start;
        bool matches;
    };
    const Case cases[] = {
        {"*", "", 1, true},
        {"a", "", 1, false},
        {"*.zip", "x.zip", 1, true},
        {"*.zip", "x.zip.bak", 1, false},
        {"a*b*c", "aXbYbZc", 1, true},
        {"a*bc", "abcbd", 1, false},
        {"*ab", "aab", 1, true},
        {"?.mp3", "1.mp3", 1, true},
        {"?.mp3", "10.mp3", 1, false},
        {"?", "ё", 1, true}, // one character, two bytes
        {"\\S\\*", "C:\\F\\S\\g", 5, true},
        {"\\T\\*", "C:\\F\\S\\g", 5, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesWildcard(c.pattern, c.text, c.start), c.matches)
            << c.pattern << " / " << c.text;
}

TEST(MatchesWildcard, RefusesBlankPatternAndStartOutsideText) {
    try {
        MatchesWildcard("", "x", 1);
        FAIL();
    } catch (const EStringError& error) {
        EXPECT_STREQ(error.what(), "Search string cannot be blank");
    }
    for (std::size_t start : {std::size_t{0}, std::size_t{4}}) {
        try {
            MatchesWildcard("a", "abc", start);
            FAIL();
        } catch (const EStringError& error) {
            EXPECT_STREQ(error.what(), "Argument out of range");
        }
    }
}

TEST(MatchesFileMask, WholeNamesCaseAndTheMissingDot) {
    struct Case {
        const char* name;
        const char* mask;
        bool caseSensitive;
        bool matches;
    };
    const Case cases[] = {
        {"C:\\x\\archive.ZIP", "*.zip", false, true},
        {"/home/u/Desktop/a.ZIP", "*.zip", true, false},
        {"C:\\x\\file", "*.", false, true},
        {"readme", "*.zip", false, false},
        {"anything", "", false, true},
        {"anything", "*.*", false, true},
        {"/Рабочий стол/ОТЧЁТ.CSV", "*отчёт.csv", false, true},
        {"/Рабочий стол/ОТЧЁТ.CSV", "*отчёт.csv", true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesFileMask(c.name, c.mask, c.caseSensitive), c.matches)
            << c.name << " / " << c.mask;
}

TEST(WideText, RoundTripsRussianAndBrokenBytes) {
    const std::string russian = "01-отчёт-Ё.csv";
    EXPECT_EQ(Utf8ToWide(russian), L"01-отчёт-Ё.csv");
    EXPECT_EQ(WideToUtf8(Utf8ToWide(russian)), russian);
    // A name that is not valid UTF-8 comes back byte for byte.
    EXPECT_EQ(WideToUtf8(Utf8ToWide("a\xFF\xD0")), "a\xFF\xD0");
    EXPECT_NE(Utf8ToWide("a\xFF"), Utf8ToWide("a\xFE"));
}

} // namespace
} // namespace archive
