// The report's grammar both ways: what the station formats parses back whole; each way stored bytes
// can be malformed is named with its line.
#include "interview_format/Report.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace interview_format {
namespace {

TEST(ReportFormatTest, AFormattedReportParsesBackWhole) {
    InterviewReport written{.examDate = "05.03.2026",
                            .region = "г. Москва",
                            .schoolCode = "000145",
                            .schoolName =
                                "Школа №1; корпус 2", // a ";" in the name only adds fields
                            .room = "012",
                            .participants = 3};
    written.recordings = {
        {.name = "1.mp3", .created = "05-03-2026 09.15.00", .size = 4801096, .crc32 = 0x0A1B2C3D},
        NotStartedEntry("2.mp3"),
        {.name = "3.mp3",
         .created = "05-03-2026 09.31.59",
         .size = 5000000000,
         .crc32 = 0xFFFFFFFF},
    };
    const std::string bytes = FormatReport(written);
    EXPECT_TRUE(bytes.ends_with("\r\n" + platform::Utf8ToWindows1251("Участников;3") + "\r\n"));
    const InterviewReport report = ParseReport(bytes);

    EXPECT_TRUE(report.problems.empty()) << report.problems.front().reason;
    EXPECT_EQ(report.examDate, written.examDate);
    EXPECT_EQ(report.region, written.region);
    EXPECT_EQ(report.schoolCode, written.schoolCode);
    EXPECT_EQ(report.schoolName, written.schoolName);
    EXPECT_EQ(report.room, written.room);
    EXPECT_EQ(report.participants, 3);
    ASSERT_EQ(report.recordings.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(FormatEntry(report.recordings[i]), FormatEntry(written.recordings[i]));
        EXPECT_EQ(report.recordings[i].lineNumber, 6 + i);
    }
    EXPECT_TRUE(IsNotStarted(report.recordings[1]));
    EXPECT_FALSE(IsNotStarted(report.recordings[0]));
}

// The count states the highest participant with a line, whatever the order and whatever never
// started; names that are not a participant's do not count.
TEST(ReportFormatTest, TheCountIsTheHighestParticipantListed) {
    const auto entry = [](const char* name) { return ReportEntry{.name = name}; };
    const struct {
        std::vector<ReportEntry> recordings;
        std::int64_t count;
    } cases[] = {
        {{}, 0},
        {{entry("test01.mp3"), entry("notes.txt")}, 0},
        {{entry("1.mp3"), entry("2.mp3")}, 2},
        {{entry("10.mp3"), entry("2.mp3")}, 10},
        {{entry("1.mp3"), NotStartedEntry("4.mp3")}, 4},
        {{entry("3.mp3"), entry("03.mp3")}, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParticipantCount(c.recordings), c.count) << c.recordings.size() << " entries";
}

// Every number the count covers without a line gets the line of a recording that never started,
// in participant order, so that the receiver never finds a participant without one; a stray number
// far beyond a day's participants is left for the check to name.
TEST(ReportFormatTest, ParticipantsWithoutALineAreListedAsNeverStarted) {
    const auto entry = [](const char* name) { return ReportEntry{.name = name, .size = 10}; };
    const auto names = [](const std::vector<ReportEntry>& entries) {
        std::string text;
        for (const ReportEntry& e : entries)
            text += e.name + (IsNotStarted(e) ? "(-1) " : " ");
        return text;
    };
    const struct {
        std::vector<ReportEntry> recordings;
        std::size_t limit;
        bool listed;
        std::string after;
    } cases[] = {
        {{}, 10, true, ""},
        {{entry("1.mp3"), entry("2.mp3")}, 10, true, "1.mp3 2.mp3 "},
        {{entry("1.mp3"), entry("4.mp3")}, 10, true, "1.mp3 2.mp3(-1) 3.mp3(-1) 4.mp3 "},
        {{entry("4.mp3"), entry("2.mp3")}, 10, true, "1.mp3(-1) 2.mp3 3.mp3(-1) 4.mp3 "},
        {{entry("1.mp3"), entry("5.mp3")}, 2, false, "1.mp3 5.mp3 "},
    };
    for (auto c : cases) {
        EXPECT_EQ(ListUnlistedAsNotStarted(c.recordings, c.limit), c.listed) << c.after;
        EXPECT_EQ(names(c.recordings), c.after);
        if (c.listed) {
            EXPECT_TRUE(UnlistedParticipants(c.recordings, 100).empty()) << c.after;
        }
    }
}

// The lines of a sound report with one recording, in Windows-1251, joined with CR LF.
std::string Report(std::vector<std::string> lines) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += platform::Utf8ToWindows1251(line) + "\r\n";
    return bytes;
}

const std::vector<std::string> SoundLines = {
    "Собеседование по русскому языку в 9 классах",
    "05.03.2026",
    "Район",
    "000145;Школа",
    "Аудитория;012",
    "1.mp3;05-03-2026 09.15.00;4801096;0A1B2C3D",
    "Участников;1",
};

std::vector<std::string> With(std::size_t index, const std::string& line) {
    std::vector<std::string> lines = SoundLines;
    lines[index] = line;
    return lines;
}

TEST(ReportFormatTest, EachMalformationIsNamedWithItsLine) {
    struct Case {
        std::string label;
        std::string bytes;
        std::size_t line;
        std::string reason;
    };
    const std::string sound = Report(SoundLines);
    std::string lfOnly = sound;
    lfOnly.erase(lfOnly.find('\r'), 1);
    const std::vector<Case> cases = {
        {"LF without CR", lfOnly, 1, "LF без CR"},
        {"no final line end", sound.substr(0, sound.size() - 2), 7, "не завершается CR LF"},
        {"UTF-8 instead of Windows-1251",
         [] {
             std::string utf8;
             for (const std::string& line : SoundLines)
                 utf8 += line + "\r\n";
             return utf8;
         }(),
         0, "UTF-8"},
        {"byte-order mark", "\xEF\xBB\xBF" + sound, 0, "BOM"},
        {"wrong title", Report(With(0, "Собеседование")), 1, "первая строка"},
        {"impossible date", Report(With(1, "31.02.2026")), 2, "ДД.ММ.ГГГГ"},
        {"no room line", Report(With(4, "012")), 5, "Аудитория"},
        {"three fields", Report(With(5, "1.mp3;05-03-2026 09.15.00;4801096")), 6, "4 поля"},
        {"time stamp pattern", Report(With(5, "1.mp3;05.03.2026 09:15:00;4801096;0A1B2C3D")), 6,
         "время создания"},
        {"size not a number", Report(With(5, "1.mp3;05-03-2026 09.15.00;48k;0A1B2C3D")), 6,
         "размер"},
        {"lower-case checksum", Report(With(5, "1.mp3;05-03-2026 09.15.00;4801096;0a1b2c3d")), 6,
         "контрольная сумма"},
        {"seven-digit checksum", Report(With(5, "1.mp3;05-03-2026 09.15.00;4801096;A1B2C3D")), 6,
         "контрольная сумма"},
        {"no count line", Report(With(6, "2.mp3;05-03-2026 09.20.00;100;0A1B2C3D")), 7,
         "Участников"},
        {"count line twice",
         [] {
             std::vector<std::string> lines = SoundLines;
             lines.insert(lines.begin() + 5, "Участников;1");
             return Report(lines);
         }(),
         6, "не в конце"},
        {"byte undefined in Windows-1251",
         [&] {
             std::string bytes = sound;
             bytes.insert(bytes.find("\r\n000145"), "\x98");
             return bytes;
         }(),
         3, "0x98"},
        {"zeros where a line should be",
         [&] {
             std::string bytes = sound;
             bytes.insert(bytes.find("\r\n000145"), std::string(4, '\0'));
             return bytes;
         }(),
         3, "управляющий символ 0"},
        {"empty", "", 0, "0 строк"},
    };
    for (const Case& c : cases) {
        const InterviewReport report = ParseReport(c.bytes);
        bool found = false;
        for (const ReportProblem& problem : report.problems)
            found = found || (problem.lineNumber == c.line &&
                              problem.reason.find(c.reason) != std::string::npos);
        EXPECT_TRUE(found) << c.label << ": " << report.problems.size() << " problems, first: "
                           << (report.problems.empty() ? "none" : report.problems[0].reason);
    }
    EXPECT_TRUE(ParseReport(sound).problems.empty());
}

TEST(ReportFormatTest, TheLineOfAFileTheStationCouldNotFindIsWellFormed) {
    std::string reason;
    const auto line = ParseEntry("7.mp3;30-12-1899 00.00.00;-1;00000000", reason);
    ASSERT_TRUE(line) << reason;
    EXPECT_EQ(line->size, -1);
    EXPECT_EQ(line->crc32, 0u);
    // Large files keep their full 64-bit size.
    ASSERT_TRUE(ParseEntry("1.mp3;05-03-2026 09.15.00;5000000000;FFFFFFFF", reason));
    EXPECT_FALSE(ParseEntry("1.mp3;05-03-2026 09.15.00;-2;FFFFFFFF", reason));
}

} // namespace
} // namespace interview_format
