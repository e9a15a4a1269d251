// The participant number rule both sides apply: the station to what it finds in a folder it
// resumes, the receiver's check to what it finds in an archive. A name it wrongly accepts would be
// counted or recorded over; one it wrongly refuses would be left out of the report.
#include "interview_format/InterviewNames.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

namespace {

TEST(InterviewNamesTest, ParticipantNumbersAreTheStationsOwnSpelling) {
    const struct {
        std::string_view name;
        std::optional<long long> number;
    } cases[] = {
        {"1.mp3", 1},
        {"12.mp3", 12},
        {"2147483646.mp3", 2147483646},
        {"2147483647.mp3", std::nullopt}, // the next participant would not fit
        {"99999999999.mp3", std::nullopt},
        {"0.mp3", std::nullopt},
        {"01.mp3", std::nullopt},
        {"-1.mp3", std::nullopt},
        {"+1.mp3", std::nullopt},
        {" 1.mp3", std::nullopt},
        {".mp3", std::nullopt},
        {"1.MP3", std::nullopt},
        {"1.mp3.part", std::nullopt},
        {"test01.mp3", std::nullopt},
        {"1", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(interview_format::ParticipantNumberOf(c.name), c.number) << c.name;
}

// The report's name as the station builds it is the one the receiver's check accepts, and only
// for a day that exists and the school and room of the header.
TEST(InterviewNamesTest, TheReportNameBuiltIsTheOneChecked) {
    using namespace interview_format;
    const std::string built = ReportName("06032025", "000145", "012");
    EXPECT_EQ(built, "01-06032025-000000-000145-012.csv");
    const struct {
        std::string name;
        bool accepted;
    } cases[] = {
        {built, true},
        {ReportName("29022024", "000145", "012"), true},
        {ReportName("29022025", "000145", "012"), false},
        {ReportName("06032025", "000146", "012"), false},
        {ReportName("06032025", "000145", "0012"), false},
        {"01-06032025-000001-000145-012.csv", false},
        {"01-06032025-000000-000145-012.CSV", false},
        {"02-06032025-000000-000145-012.csv", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsReportNameFor(c.name, "000145", "012"), c.accepted) << c.name;
}

TEST(InterviewNamesTest, FolderNamesCarryARealDayACodeAndARoom) {
    using namespace interview_format;
    EXPECT_EQ(FolderName(NameDayOf("05.03.2025"), "000145", "012"), "01-05032025-000145-012");
    EXPECT_EQ(RecordingName(12), "12.mp3");
    const struct {
        std::string_view name;
        bool folder;
    } cases[] = {
        {"01-05032025-000145-012", true},
        {"01-05032025-1-2", true},
        {"01-31022025-000145-012", false},
        {"01-05032025-000145", false},
        {"01-05032025-000145-", false},
        {"01-05032025--012", false},
        {"02-05032025-000145-012", false},
        // Windows drops a trailing space or dot: such a name cannot be unpacked there.
        {"01-05032025-000   -012", false},
        {"01-05032025-000145-00.", false},
        {"01-05032025- 00145-012", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LooksLikeFolderName(c.name), c.folder) << c.name;
    EXPECT_TRUE(DayBefore("31122025", "01012026"));
    EXPECT_FALSE(DayBefore("02012026", "01012026"));
    EXPECT_FALSE(DayBefore("01012026", "01012026"));
}

} // namespace
