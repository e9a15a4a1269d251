#include "station/Report.h"
#include "platform/DateTime.h"
#include "platform/FileStream.h"
#include "station/Crc32.h"
#include "station/FileUtils.h"
#include "testsupport/ScriptedMessageBoxes.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

using namespace station;

namespace {

namespace fs = std::filesystem;
using testsupport::ScriptedMessageBoxes;

class ReportTest : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
    void Write(const std::string& name, const std::string& content) const {
        std::ofstream(PathOf(name), std::ios::binary) << content;
    }
    // The line the station lists for a file as it stands, the reason it could not be read in
    // `unreadable`.
    std::string LineOf(const std::string& name, std::string& unreadable) const {
        MeasuredRecording measured = RecordingEntry(PathOf(name));
        unreadable = measured.unreadable;
        return interview_format::FormatEntry(measured.entry);
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    testsupport::TemporaryFolder scratch_{"report"};
    fs::path folder_{scratch_.Path()};
    ScriptedMessageBoxes boxes_;
};

TEST(Crc32Test, StandardCheckValueAndTable) {
    EXPECT_EQ(CRC32Table[1], 0x77073096u);
    EXPECT_EQ(CRC32Table[128], 0xEDB88320u);
    EXPECT_EQ(~UpdateCRC32(0xFFFFFFFF, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(~UpdateCRC32(0xFFFFFFFF, "", 0), 0u);
}

TEST(Crc32Test, AgreesWithZlibOnRandomDataFedInPieces) {
    std::mt19937 random(20250305);
    std::vector<unsigned char> data(200'003);
    for (auto& byte : data)
        byte = static_cast<unsigned char>(random());
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t at = 0, piece = 1; at < data.size(); at += piece, piece = piece * 3 + 7) {
        const std::size_t count = std::min(piece, data.size() - at);
        crc = UpdateCRC32(crc, data.data() + at, count);
    }
    EXPECT_EQ(~crc, crc32(0, data.data(), static_cast<uInt>(data.size())));
}

// Eight bytes at a time with a byte-wise head and tail: every short length at every alignment.
TEST(Crc32Test, AgreesWithZlibForEveryShortLengthAndAlignment) {
    std::mt19937 random(11);
    std::vector<unsigned char> data(64);
    for (auto& byte : data)
        byte = static_cast<unsigned char>(random());
    for (std::size_t offset = 0; offset < 8; ++offset)
        for (std::size_t count = 0; offset + count <= data.size(); ++count)
            ASSERT_EQ(~UpdateCRC32(0xFFFFFFFF, data.data() + offset, count),
                      crc32(0, data.data() + offset, static_cast<uInt>(count)))
                << "offset " << offset << ", " << count << " bytes";
}

TEST_F(ReportTest, FileChecksumCoversTheWholeFileAcrossBufferBoundaries) {
    std::string content(3 * 32768 + 17, '\0');
    std::mt19937 random(7);
    for (char& byte : content)
        byte = static_cast<char>(random());
    Write("a.mp3", content);
    const FileChecksum sum = FileCRC32(PathOf("a.mp3"));
    EXPECT_EQ(sum.crc, crc32(0, reinterpret_cast<const Bytef*>(content.data()),
                             static_cast<uInt>(content.size())));
    EXPECT_EQ(sum.failure, "");
}

// The report as a receiver reads it: Windows-1251 bytes, CR LF after every line, no byte-order
// mark, and a ";" typed into a value splitting its line.
TEST_F(ReportTest, SavedReportIsByteExact) {
    ReportHeading state;
    state.examDate = platform::EncodeDateTime({2025, 3, 5});
    state.region = "Город; район";
    state.schoolCode6 = "000145";
    state.schoolName = "Школа №1; корпус 2";
    state.room3 = "012";
    interview_format::InterviewReport report = ReportFor(state);
    Write("1.mp3", "hello");
    report.recordings.push_back(RecordingEntry(PathOf("1.mp3")).entry);
    report.participants = 2;
    SaveReport(report, PathOf("report.csv"));

    const std::string recording = interview_format::FormatLines(report)[5];
    EXPECT_TRUE(recording.starts_with("1.mp3;")) << recording;
    EXPECT_TRUE(recording.ends_with(";5;3610A686")) << recording;
    const std::string expected =
        "\xD1\xEE\xE1\xE5\xF1\xE5\xE4\xEE\xE2\xE0\xED\xE8\xE5 \xEF\xEE \xF0\xF3\xF1\xF1\xEA\xEE"
        "\xEC\xF3 \xFF\xE7\xFB\xEA\xF3 \xE2 9 \xEA\xEB\xE0\xF1\xF1\xE0\xF5\r\n"
        "05.03.2025\r\n"
        "\xC3\xEE\xF0\xEE\xE4; \xF0\xE0\xE9\xEE\xED\r\n"
        "000145;\xD8\xEA\xEE\xEB\xE0 \xB9"
        "1; \xEA\xEE\xF0\xEF\xF3\xF1 2\r\n"
        "\xC0\xF3\xE4\xE8\xF2\xEE\xF0\xE8\xFF;012\r\n" +
        recording + "\r\n" + "\xD3\xF7\xE0\xF1\xF2\xED\xE8\xEA\xEE\xE2;2\r\n";
    EXPECT_EQ(Read("report.csv"), expected);
}

TEST_F(ReportTest, SavingAgainReplacesTheWholeFile) {
    interview_format::InterviewReport report;
    report.schoolName = "a much longer first version of the report";
    SaveReport(report, PathOf("r.csv"));
    report.schoolName = "";
    SaveReport(report, PathOf("r.csv"));
    EXPECT_EQ(Read("r.csv"), interview_format::FormatReport(report));
}

TEST_F(ReportTest, ReportThatCannotBeCreatedRaisesTheFileAndTheReason) {
    const std::string path = PathOf("missing-folder/r.csv");
    try {
        SaveReport(interview_format::InterviewReport{}, path);
        FAIL() << "no failure";
    } catch (const platform::FileError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + path + "\". No such file or directory");
    }
}

TEST_F(ReportTest, RecordingLinesForPresentEmptyMissingAndLockedFiles) {
    const auto before = platform::Now();
    Write("3.mp3", "hello");
    Write("4.mp3", "");
    Write("6.mp3", "locked content");
    const auto after = platform::Now();
    const auto stampOk = [&](const std::string& stamp) {
        return stamp == platform::FormatDateTime("dd-mm-yyyy hh.nn.ss", before) ||
               stamp == platform::FormatDateTime("dd-mm-yyyy hh.nn.ss", after);
    };

    std::string unreadable = "left from before";
    const std::string present = LineOf("3.mp3", unreadable);
    EXPECT_EQ(unreadable, "");
    EXPECT_TRUE(present.starts_with("3.mp3;")) << present;
    EXPECT_TRUE(stampOk(present.substr(6, 19))) << present;
    EXPECT_EQ(present.substr(25), ";5;3610A686");

    EXPECT_EQ(LineOf("4.mp3", unreadable).substr(25), ";0;00000000");
    EXPECT_EQ(unreadable, "");

    // The failure is handed back for the caller to tell: no box is shown from here.
    EXPECT_EQ(LineOf("5.mp3", unreadable), "5.mp3;30-12-1899 00.00.00;-1;00000000");
    EXPECT_EQ(unreadable, "Ошибка при подсчёте контрольной суммы файла [" + PathOf("5.mp3") +
                              "]: [Cannot open file \"" + PathOf("5.mp3") +
                              "\". No such file or directory]");

    // A file still held by its recording: real time and size, no checksum.
    auto holder = platform::FileHandle::Open(PathOf("6.mp3"), platform::FileAccess::Write,
                                             platform::FileShare::None,
                                             platform::FileDisposition::OpenExisting);
    const std::string locked = LineOf("6.mp3", unreadable);
    EXPECT_TRUE(stampOk(locked.substr(6, 19))) << locked;
    EXPECT_EQ(locked.substr(25), ";14;00000000");
    EXPECT_NE(unreadable.find(platform::SharingViolationText), std::string::npos);
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(ReportTest, NameIsThePartAfterTheLastSeparator) {
    Write("7.mp3", "x");
    EXPECT_EQ(RecordingEntry(PathOf("7.mp3")).entry.name, "7.mp3");
    EXPECT_EQ(RecordingEntry("C:rel\\dir\\8.mp3").entry.name, "8.mp3");
}

TEST_F(ReportTest, FileFactsOfMissingAndHugeSparseFiles) {
    platform::DateTime time = 42;
    EXPECT_FALSE(FileCreationTime(PathOf("none"), time));
    EXPECT_EQ(time, 42);
    EXPECT_EQ(FileSizeOf(PathOf("none")), -1);

    const std::int64_t size = (4LL << 30) + 5;
    auto file = platform::FileHandle::Open(PathOf("big.mp3"), platform::FileAccess::Write,
                                           platform::FileShare::None,
                                           platform::FileDisposition::CreateAlways);
    file.Truncate(size);
    EXPECT_EQ(FileSizeOf(PathOf("big.mp3")), size);
    EXPECT_TRUE(FileCreationTime(PathOf("big.mp3"), time));
    EXPECT_NEAR(time, platform::Now(), 10.0 / 86400);
}

TEST(ReportLinesTest, CountLineAndHeaderFields) {
    ReportHeading state;
    state.examDate = platform::EncodeDateTime({2025, 12, 31, 23, 59, 0});
    state.region = "R";
    state.schoolCode6 = "1234567";
    state.schoolName = "N";
    state.room3 = "0012";
    interview_format::InterviewReport report = ReportFor(state);
    report.participants = 1;
    EXPECT_EQ(interview_format::FormatLines(report),
              (std::vector<std::string>{"Собеседование по русскому языку в 9 классах", "31.12.2025",
                                        "R", "1234567;N", "Аудитория;0012", "Участников;1"}));
}

} // namespace
