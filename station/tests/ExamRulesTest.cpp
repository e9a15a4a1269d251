// The exam page's meter rule and timer text.
#include "station/LevelMeter.h"
#include "station/TimerText.h"
#include "station/core/ReportLines.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::int64_t> MeterSequence(std::int64_t start, double gain, int events) {
    std::vector<std::int64_t> positions;
    for (int i = 0; i < events; ++i)
        positions.push_back(start = NextMeterPosition(start, gain));
    return positions;
}

TEST(LevelMeterTest, EachReportMovesHalfwayRoundingDown) {
    struct Case {
        std::int64_t start;
        double gain;
        std::vector<std::int64_t> expected;
    };
    const Case cases[] = {
        {100, 0.0, {50, 25, 12, 6, 3, 1, 0, 0}},
        {0, 30.0, {25, 37, 43, 46, 48, 49, 49}},
        // A reading of exactly 100 never fills the bar; a higher one does.
        {0, 60.0, {50, 75, 87, 93, 96, 98, 99, 99}},
        {99, 61.0, {100, 100}},
        // The figure's whole range: 100 reads 167 and is held at the top.
        {100, 100.0, {100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MeterSequence(c.start, c.gain, static_cast<int>(c.expected.size())), c.expected)
            << "from " << c.start << " with " << c.gain;
}

TEST(LevelMeterTest, ReadingsRoundHalfToEven) {
    // 0.3 reads 0.5 -> 0, 0.9 reads 1.5 -> 2, 1.5 reads 2.5 -> 2, 2.1 reads 3.5 -> 4.
    EXPECT_EQ(NextMeterPosition(1, 0.3), 0); // (1 + 0) / 2
    EXPECT_EQ(NextMeterPosition(0, 0.9), 1); // (0 + 2) / 2
    EXPECT_EQ(NextMeterPosition(1, 1.5), 1); // (1 + 2) / 2
    EXPECT_EQ(NextMeterPosition(0, 2.1), 2); // (0 + 4) / 2
    EXPECT_EQ(NextMeterPosition(0, 1.2), 1); // 2.0 exactly
}

TEST(TimerTextTest, CountsTicksAndShowsMinutesAndSecondsOfTheHour) {
    struct Case {
        int ticks;
        const char* expected;
    };
    const Case cases[] = {
        {0, "0 мин. 0 сек."},    {1, "0 мин. 1 сек."},    {59, "0 мин. 59 сек."},
        {60, "1 мин. 0 сек."},   {725, "12 мин. 5 сек."}, {3599, "59 мин. 59 сек."},
        {3600, "0 мин. 0 сек."}, {3665, "1 мин. 5 сек."}, {7325, "2 мин. 5 сек."},
    };
    platform::DateTime elapsed = 0;
    int ticked = 0;
    for (const Case& c : cases) {
        for (; ticked < c.ticks; ++ticked)
            elapsed = AddOneSecond(elapsed);
        EXPECT_EQ(TimerText(elapsed), c.expected) << c.ticks << " ticks";
    }
}

// The count line names the last participant with a line: a recording that never started is listed
// (size -1) and counted, as the receiver expects every number up to the count to have its line.
TEST(ReportLinesTest, HighestListedParticipantCountsRecordingsThatNeverStarted) {
    ReportLines report;
    report.Append({"title", "01.01.2025", "Город", "000145;Школа", "Аудитория;012"});
    EXPECT_EQ(report.HighestListedParticipant(), 0);
    report.Append("1.mp3;01-01-2025 10.00.00;16000;0A0B0C0D");
    report.Append("10.mp3;01-01-2025 10.05.00;16000;00000000");
    EXPECT_EQ(report.HighestListedParticipant(), 10);
    report.Append("11.mp3;30-12-1899 00.00.00;-1;00000000");
    EXPECT_EQ(report.HighestListedParticipant(), 11);
}

} // namespace
