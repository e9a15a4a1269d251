// The exam page's meter rule and timer text.
#include "station/LevelMeter.h"
#include "station/Report.h"
#include "station/TimerText.h"
#include "station/core/ParticipantLine.h"
#include "station/core/ReportLines.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include <vector>

using namespace station;

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
TEST(ReportLinesTest, TheCountIncludesRecordingsThatNeverStarted) {
    ReportLines report;
    report.Begin({.examDate = "01.01.2025", .schoolCode = "000145", .room = "012"});
    EXPECT_EQ(report.ParticipantCount(), 0);
    report.Add({.name = "1.mp3", .created = "01-01-2025 10.00.00", .size = 16000});
    report.Add({.name = "10.mp3", .created = "01-01-2025 10.05.00", .size = 16000});
    EXPECT_EQ(report.ParticipantCount(), 10);
    report.Add(interview_format::NotStartedEntry("11.mp3"));
    EXPECT_EQ(report.ParticipantCount(), 11);
    EXPECT_EQ(report.Counted().participants, 11);
    EXPECT_EQ(report.Lines().back(), "Участников;11");
}

// The line of a pass as the close lists it: a file without one MP3 frame held nothing of the
// participant and goes, leaving the line of a recording that never started; anything else stays.
TEST(ParticipantLineTest, OnlyAFileWithoutAudioIsTakenForARecordingThatNeverStarted) {
    namespace fs = std::filesystem;
    testsupport::TemporaryFolder folder{"participant-line"};
    std::string frame("\xFF\xFB\x90\xC0", 4);
    frame.resize(417, '\0');
    const std::string id3v1 = "TAG" + std::string(125, '\0');
    const struct {
        std::string label, bytes;
        bool notStarted;
    } cases[] = {
        {"empty", "", true},
        {"a tag block only", id3v1, true},
        {"three audio frames and their tag", frame + frame + frame + id3v1, false},
        {"something else, too large to be a failed start", std::string(100 * 1024, 'x'), false},
    };
    for (const auto& c : cases) {
        const std::string file = folder / "3.mp3";
        std::ofstream(file, std::ios::binary) << c.bytes;
        const std::optional<ParticipantEntry> entry = ParticipantLine(file);
        ASSERT_TRUE(entry) << c.label;
        const std::string line = interview_format::FormatEntry(entry->line);
        EXPECT_EQ(entry->unreadable, "") << c.label;
        if (c.notStarted) {
            EXPECT_EQ(line, "3.mp3;30-12-1899 00.00.00;-1;00000000") << c.label;
            EXPECT_FALSE(fs::exists(file)) << c.label;
        } else {
            EXPECT_EQ(line, interview_format::FormatEntry(RecordingEntry(file).entry)) << c.label;
            EXPECT_EQ(fs::file_size(file), c.bytes.size()) << c.label;
        }
        fs::remove(file);
    }
    const std::optional<ParticipantEntry> missing = ParticipantLine(folder / "4.mp3");
    ASSERT_TRUE(missing);
    EXPECT_EQ(interview_format::FormatEntry(missing->line),
              "4.mp3;30-12-1899 00.00.00;-1;00000000");
    EXPECT_EQ(missing->unreadable, "");
    // A link, FIFO or folder the pass was refused at gets no line (the link target's size would be
    // listed), and is left as it stands.
    std::ofstream(folder / "target.bin") << std::string(80, 'x');
    fs::create_symlink(folder / "target.bin", folder / "5.mp3");
    ASSERT_EQ(::mkfifo((folder / "6.mp3").c_str(), 0644), 0);
    fs::create_directory(folder / "7.mp3");
    for (const char* name : {"5.mp3", "6.mp3", "7.mp3"}) {
        EXPECT_FALSE(ParticipantLine(folder / name)) << name;
        EXPECT_TRUE(fs::exists(fs::symlink_status(folder / name))) << name;
    }
    EXPECT_EQ(fs::file_size(folder / "target.bin"), 80u);
}

} // namespace
