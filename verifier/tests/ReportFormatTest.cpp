// Reading the report: what the station writes reads back whole; each way a report can be
// malformed is named with its line.
#include "verifier/ReportFormat.h"
#include "platform/TextCodec.h"
#include "verifier/tests/InterviewFixture.h"

#include <gtest/gtest.h>

namespace interview_check {
namespace {

using testing::InterviewFixture;

TEST(ReportFormatTest, TheStationsOwnReportReadsBackWhole) {
    const InterviewFixture interview(3);
    const InterviewReport report = ParseReport(interview.ReportBytes());

    EXPECT_TRUE(report.Problems.empty()) << report.Problems.front().Reason;
    EXPECT_EQ(report.ExamDate, "05.03.2026");
    EXPECT_EQ(report.Region, "г. Москва");
    EXPECT_EQ(report.SchoolCode, "000145");
    EXPECT_EQ(report.SchoolName, "Школа №1; корпус 2"); // a ";" in the name only adds fields
    EXPECT_EQ(report.Room, "012");
    ASSERT_EQ(report.Recordings.size(), 3u);
    EXPECT_EQ(report.Recordings[1].Name, "2.mp3");
    EXPECT_EQ(report.Recordings[1].LineNumber, 7u);
    EXPECT_EQ(report.Recordings[1].Size,
              static_cast<std::int64_t>(testing::ReadFile(interview.InFolder("2.mp3")).size()));
    EXPECT_EQ(report.Participants, 3);
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
        std::string Label;
        std::string Bytes;
        std::size_t Line;
        std::string Reason;
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
        const InterviewReport report = ParseReport(c.Bytes);
        bool found = false;
        for (const ReportProblem& problem : report.Problems)
            found = found || (problem.LineNumber == c.Line &&
                              problem.Reason.find(c.Reason) != std::string::npos);
        EXPECT_TRUE(found) << c.Label << ": " << report.Problems.size() << " problems, first: "
                           << (report.Problems.empty() ? "none" : report.Problems[0].Reason);
    }
    EXPECT_TRUE(ParseReport(sound).Problems.empty());
}

TEST(ReportFormatTest, TheLineOfAFileTheStationCouldNotFindIsWellFormed) {
    std::string reason;
    const auto line = ParseRecordingLine("7.mp3;30-12-1899 00.00.00;-1;00000000", reason);
    ASSERT_TRUE(line) << reason;
    EXPECT_EQ(line->Size, -1);
    EXPECT_EQ(line->Crc32, 0u);
    // Large files keep their full 64-bit size.
    ASSERT_TRUE(ParseRecordingLine("1.mp3;05-03-2026 09.15.00;5000000000;FFFFFFFF", reason));
    EXPECT_FALSE(ParseRecordingLine("1.mp3;05-03-2026 09.15.00;-2;FFFFFFFF", reason));
}

} // namespace
} // namespace interview_check
