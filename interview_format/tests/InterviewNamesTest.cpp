// The participant number rule both sides apply: the station to what it finds in a folder it
// resumes, the receiver's check to what it finds in an archive. A name it wrongly accepts would be
// counted or recorded over; one it wrongly refuses would be left out of the report.
#include "interview_format/InterviewNames.h"

#include <gtest/gtest.h>

#include <optional>
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

} // namespace
