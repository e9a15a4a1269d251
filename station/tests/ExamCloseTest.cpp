// The interview close: the report, what the exam page is told, and the archive read back by
// independent readers.
#include "archive/SevenzipLibrary.h"
#include "platform/TextCodec.h"
#include "station/Report.h"
#include "station/tests/CoreFixture.h"
#include "testsupport/TemporaryFileSystem.h"
#include "verifier/ArchiveCheck.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

using namespace station;

namespace {

namespace fs = std::filesystem;
using coretest::Pump;
using coretest::PumpUntil;
using coretest::ReadWholeFile;

// Runs a reader and gives its exit code and output.
std::pair<int, std::string> RunReader(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return {-1, output};
    char buffer[4096];
    while (std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, got);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

// Python's zipfile lists the archive and extracts it into `into`.
std::string ZipListing(const std::string& archive, const std::string& into) {
    const auto [code, output] = RunReader("python3 -c 'import sys, zipfile\n"
                                          "z = zipfile.ZipFile(sys.argv[1])\n"
                                          "assert z.testzip() is None\n"
                                          "print(*z.namelist(), sep=chr(10))\n"
                                          "z.extractall(sys.argv[2])' '" +
                                          archive + "' '" + into + "'");
    EXPECT_EQ(code, 0) << output;
    return output;
}

class ExamCloseTest : public coretest::CoreFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(interview_->SaveParameters(
            {.region = "г. Москва", .schoolName = "Школа №1", .schoolCode = "145", .room = "12"}));
        ASSERT_TRUE(interview_->ConfirmReadiness());
        ASSERT_TRUE(fs::is_directory(State().folder));
    }

    // The station ends and starts again on the same interview.
    void Restart() {
        Rewire();
        ASSERT_TRUE(interview_->SaveParameters(
            {.region = "г. Москва", .schoolName = "Школа №1", .schoolCode = "145", .room = "12"}));
        ASSERT_TRUE(interview_->ConfirmReadiness());
    }
    std::string Day() const { return platform::FormatDateTime("ddmmyyyy", calendar_.Today()); }
    std::string Stem() const { return "01-" + Day() + "-000145-012"; }
    std::string ReportName() const { return "01-" + Day() + "-000000-000145-012.csv"; }
    std::string ReportPath() const { return State().folder + "/" + ReportName(); }
    std::string ArchivePath() const { return desktop_.Desktop() + "/" + Stem() + ".zip"; }
    std::vector<std::string> ReportFileLines() const {
        const std::string text = platform::Windows1251ToUtf8(ReadWholeFile(ReportPath()));
        std::vector<std::string> lines;
        for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    std::vector<std::string> Header() const {
        return {"Собеседование по русскому языку в 9 классах",
                platform::FormatDateTime("dd.mm.yyyy", State().examDate), "г. Москва",
                "000145;Школа №1", "Аудитория;012"};
    }
    // The line the station lists for a recording as it stands on disk.
    static std::string LineOf(const std::string& file) {
        return interview_format::FormatEntry(RecordingEntry(file).entry);
    }
    void ExpectClosed() const {
        ASSERT_TRUE(interviewSeen_.report);
        EXPECT_EQ(interviewSeen_.report->fileName, ReportName());
        EXPECT_EQ(interviewSeen_.archive, ArchivePath());
        const ExamState& exam = interviewSeen_.exam;
        EXPECT_FALSE(exam.timerShown);
        EXPECT_FALSE(exam.closeShown);
        EXPECT_TRUE(exam.exitShown);
        EXPECT_FALSE(exam.nextEnabled);
        EXPECT_FALSE(exam.startEnabled);
        EXPECT_EQ(exam.banner, RecordingBanner::None);
    }
    // The archive holds the interview folder with exactly these files, byte for byte.
    void ExpectArchiveOf(const std::vector<std::string>& files) {
        const auto [code, output] = RunReader("unzip -t '" + ArchivePath() + "'");
        EXPECT_EQ(code, 0) << output;
        const std::string folder = fs::path(State().folder).filename().string();
        std::string expected = folder + "/\n";
        for (const std::string& file : files)
            expected += folder + "/" + file + "\n";
        const std::string extracted = desktop_.Home() + "/extracted";
        EXPECT_EQ(ZipListing(ArchivePath(), extracted), expected);
        for (const std::string& file : files)
            EXPECT_EQ(ReadWholeFile(extracted + "/" + folder + "/" + file),
                      ReadWholeFile(State().folder + "/" + file))
                << file;
    }
};

TEST_F(ExamCloseTest, ThreeRecordingsGiveTheReportAndTheArchive) {
    interview_->StartRecording();
    Pump(1.2);
    interview_->NextParticipant(); // "Вы уверены?" answered OK
    Pump(1.2);
    interview_->NextParticipant();
    Pump(1.2);
    CloseInterview();

    const std::vector<std::string> lines = ReportFileLines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5), Header());
    for (int n = 1; n <= 3; ++n) {
        const std::string file = State().folder + "/" + std::to_string(n) + ".mp3";
        EXPECT_EQ(lines[4 + n].rfind(std::to_string(n) + ".mp3;", 0), 0u) << lines[4 + n];
        EXPECT_NE(lines[4 + n].find(";" + std::to_string(fs::file_size(file)) + ";"),
                  std::string::npos)
            << lines[4 + n];
    }
    EXPECT_EQ(lines[8], "Участников;3");
    EXPECT_EQ(interviewSeen_.report->participants, 3);
    ExpectClosed();
    ASSERT_TRUE(interviewSeen_.proof);
    EXPECT_TRUE(interviewSeen_.proof->sound);
    EXPECT_EQ(interviewSeen_.proof->text, "Архив проверен: 3 записи, контрольные суммы совпадают.");
    ExpectArchiveOf({ReportName(), "1.mp3", "2.mp3", "3.mp3"});
    EXPECT_EQ(boxes_.Texts(), (std::vector<std::string>{"Вы уверены?", "Вы уверены?"}));
}

// A restart after two recordings reserves number 3 for the next participant; closing without
// recording it counts the two that exist (the way an operator re-makes a failed archive).
TEST_F(ExamCloseTest, CloseAfterARestartCountsTheRecordedParticipantsOnly) {
    interview_->StartRecording();
    Pump(1.2);
    interview_->NextParticipant();
    Pump(1.2);
    Restart();
    EXPECT_EQ(boxes_.Texts().back(), "В папке собеседования уже есть записи участников: 2. "
                                     "Нумерация продолжится с участника 3.");
    CloseInterview();

    const std::vector<std::string> lines = ReportFileLines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_TRUE(lines[5].starts_with("1.mp3;"));
    EXPECT_TRUE(lines[6].starts_with("2.mp3;"));
    EXPECT_EQ(lines[7], "Участников;2");
    EXPECT_EQ(interviewSeen_.report->participants, 2);
    ExpectArchiveOf({ReportName(), "1.mp3", "2.mp3"});
}

// An archive without a recording line is one the receiver refuses: none is made, and the operator
// is told why before anything is saved or packed.
TEST_F(ExamCloseTest, CloseWithoutAnyParticipantIsRefused) {
    interview_->Close();
    ASSERT_EQ(boxes_.Texts().size(), 1u);
    EXPECT_TRUE(boxes_.Texts()[0].starts_with("Не записан ни один участник")) << boxes_.Texts()[0];
    EXPECT_EQ(boxes_.Shown()[0].icon, platform::MessageIcon::Error);
    EXPECT_FALSE(fs::exists(ReportPath()));
    EXPECT_FALSE(fs::exists(ArchivePath()));
    EXPECT_FALSE(interviewSeen_.report);
    EXPECT_TRUE(interviewSeen_.exam.closeShown);
    EXPECT_TRUE(interviewSeen_.exam.startEnabled);
}

// A participant whose recording never started is listed as such and counted: the station and the
// receiver both accept the archive.
TEST_F(ExamCloseTest, ARecordingThatNeverStartedIsListedWithoutItsFile) {
    const std::string folder = State().folder;
    // The folder has gone: the first participant's recording fails at its start.
    fs::remove_all(folder);
    interview_->StartRecording();
    ASSERT_TRUE(PumpUntil([&] { return interviewSeen_.exam.banner == RecordingBanner::Failed; }));
    fs::create_directories(folder);
    boxes_.Answer(platform::MessageResult::Ok);
    interview_->NextParticipant();
    Pump(1.2);
    CloseInterview();

    const std::vector<std::string> lines = ReportFileLines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[5], "1.mp3;30-12-1899 00.00.00;-1;00000000");
    EXPECT_TRUE(lines[6].starts_with("2.mp3;"));
    EXPECT_EQ(lines[7], "Участников;2");
    ExpectClosed();
    ASSERT_TRUE(interviewSeen_.proof);
    EXPECT_EQ(interviewSeen_.proof->text, "Архив проверен: 1 запись, контрольные суммы совпадают.");
    ExpectArchiveOf({ReportName(), "2.mp3"});
    EXPECT_TRUE(interview_check::CheckArchive(ArchivePath()).Sound());
}

// The report and the archive carry the closing day; the folder, and the archive's inner folder,
// the day the parameters were saved.
TEST_F(ExamCloseTest, CloseOnALaterDayNamesTheReportAndArchiveByThatDay) {
    PlaceRecording(1);
    Restart();
    calendar_.day = platform::Today() + 1;
    CloseInterview();
    EXPECT_NE(Day(), platform::FormatDateTime("ddmmyyyy", State().examDate));
    EXPECT_TRUE(fs::exists(ReportPath()));
    ExpectClosed();
    ExpectArchiveOf({ReportName(), "1.mp3"});
}

TEST_F(ExamCloseTest, RepeatedCloseAfterAFailedSaveKeepsOneCountLine) {
    PlaceRecording(1);
    Restart();
    boxes_.Clear();
    // A folder where the report should go makes the save fail.
    fs::create_directory(ReportPath());
    CloseInterview();
    ASSERT_EQ(boxes_.Texts().size(), 1u);
    EXPECT_EQ(boxes_.Texts()[0].rfind("На месте файла находится папка (Cannot create file \"" +
                                          ReportPath() + "\".",
                                      0),
              0u)
        << boxes_.Texts()[0];
    EXPECT_EQ(boxes_.Shown()[0].icon, platform::MessageIcon::Error);
    EXPECT_TRUE(interviewSeen_.exam.closeShown);
    EXPECT_FALSE(interviewSeen_.report);
    EXPECT_FALSE(fs::exists(ArchivePath()));

    fs::remove(ReportPath());
    CloseInterview();
    std::vector<std::string> expected = Header();
    expected.push_back(LineOf(Recording(1)));
    expected.push_back("Участников;1");
    EXPECT_EQ(ReportFileLines(), expected);
    EXPECT_EQ(interview_->Report(), expected);
    ExpectClosed();
}

// A failed archive is named with its path and the reason, removed, and the close stays usable.
TEST_F(ExamCloseTest, ArchiveFailureIsShownAndTheCloseCanBeRepeated) {
    PlaceRecording(1);
    Restart();
    boxes_.Clear();
    const auto installed = archive::sevenzip::Library().Candidates();
    archive::sevenzip::Library().SetFileName("7z-not-installed.so");
    CloseInterview();
    archive::sevenzip::Library().SetCandidates(installed);

    EXPECT_EQ(boxes_.Texts(),
              (std::vector<std::string>{"Не удалось создать архив собеседования " + ArchivePath() +
                                        ": Не найдена нужная библиотека программы (Sevenzip: "
                                        "Failed to load 7z-not-installed.so)"}));
    EXPECT_TRUE(fs::exists(ReportPath()));
    ASSERT_TRUE(interviewSeen_.report);
    EXPECT_EQ(interviewSeen_.report->fileName, ReportName());
    EXPECT_TRUE(interviewSeen_.exam.closeShown);
    EXPECT_FALSE(interviewSeen_.exam.exitShown);
    EXPECT_FALSE(interviewSeen_.archive);
    EXPECT_FALSE(fs::exists(ArchivePath()));

    CloseInterview();
    ExpectClosed();
    ExpectArchiveOf({ReportName(), "1.mp3"});
    std::vector<std::string> expected = Header();
    expected.push_back(LineOf(Recording(1)));
    expected.push_back("Участников;1");
    EXPECT_EQ(ReportFileLines(), expected);
}

// A recording that no longer matches its report line makes the archive fail its read-back: it is
// reported as damaged and removed, and once the cause is gone the close is repeated.
TEST_F(ExamCloseTest, AnArchiveThatDisagreesWithTheReportIsDamagedAndRemoved) {
    const std::string recorded = SilentMp3();
    PlaceRecording(1, recorded);
    Restart(); // the line of 1.mp3 is taken now
    std::string changed = recorded;
    changed[1000] = 'b';
    PlaceRecording(1, changed);
    boxes_.Clear();
    CloseInterview();

    const std::string damaged = "Архив не прошёл проверку: 1.mp3, контрольная сумма не совпадает";
    ASSERT_TRUE(interviewSeen_.proof);
    EXPECT_FALSE(interviewSeen_.proof->sound);
    EXPECT_TRUE(interviewSeen_.proof->text.starts_with(damaged)) << interviewSeen_.proof->text;
    ASSERT_EQ(boxes_.Texts().size(), 1u);
    EXPECT_EQ(boxes_.Texts()[0], "Не удалось создать архив собеседования " + ArchivePath() + ": " +
                                     interviewSeen_.proof->text +
                                     " Приёмная сторона такой архив не примет. Устраните причину "
                                     "и завершите собеседование ещё раз.");
    EXPECT_FALSE(fs::exists(ArchivePath()));
    EXPECT_TRUE(interviewSeen_.exam.closeShown);
    EXPECT_FALSE(interviewSeen_.archive);

    PlaceRecording(1, recorded);
    CloseInterview();
    ExpectClosed();
    EXPECT_EQ(interviewSeen_.proof->text, "Архив проверен: 1 запись, контрольные суммы совпадают.");
    ExpectArchiveOf({ReportName(), "1.mp3"});
}

// A file system out of inodes: the first participant's file cannot be created. The participant is
// listed as one whose recording never started, and the archive both sides accept is made once
// inodes are free again.
TEST_F(ExamCloseTest, NoInodeForTheFileListsARecordingThatNeverStarted) {
    testsupport::TemporaryFileSystem small("size=8m,nr_inodes=64");
    if (!small.Mounted())
        GTEST_SKIP() << small.SkipReason();
    subscriptions_.clear();
    interview_.reset();
    fs::remove_all(desktop_.Desktop());
    fs::create_directory_symlink(small.Folder(), desktop_.Desktop());
    Restart();
    std::vector<std::string> fillers;
    for (int i = 0;; ++i) {
        const std::string filler = small.Folder() + "/filler" + std::to_string(i);
        std::ofstream out(filler);
        if (!out)
            break;
        fillers.push_back(filler);
    }
    boxes_.Clear();
    interview_->StartRecording();
    ASSERT_TRUE(PumpUntil([&] { return interviewSeen_.exam.banner == RecordingBanner::Failed; }));
    ASSERT_FALSE(boxes_.Texts().empty());
    EXPECT_TRUE(boxes_.Texts()[0].starts_with("Ошибка записи: ")) << boxes_.Texts()[0];
    EXPECT_FALSE(fs::exists(Recording(1)));
    for (const std::string& filler : fillers)
        fs::remove(filler);
    boxes_.Answer(platform::MessageResult::Ok);
    interview_->NextParticipant();
    Pump(1.2);
    CloseInterview();

    const std::vector<std::string> lines = ReportFileLines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[5], "1.mp3;30-12-1899 00.00.00;-1;00000000");
    EXPECT_TRUE(lines[6].starts_with("2.mp3;"));
    EXPECT_EQ(lines[7], "Участников;2");
    ExpectClosed();
    EXPECT_TRUE(interview_check::CheckArchive(ArchivePath()).Sound());
    subscriptions_.clear();
    interview_.reset(); // before the file system goes
}

// A full Desktop: the reason reaches the operator in Russian first, the incomplete zip is removed,
// and after space is freed the close is repeated with one count line.
TEST_F(ExamCloseTest, AFullDiskFailsTheArchiveUntilSpaceIsFreed) {
    testsupport::TemporaryFileSystem small("size=256k");
    if (!small.Mounted())
        GTEST_SKIP() << small.SkipReason();
    // The Desktop moves onto the small file system; the interview starts there afresh.
    subscriptions_.clear();
    interview_.reset();
    fs::remove_all(desktop_.Desktop());
    fs::create_directory_symlink(small.Folder(), desktop_.Desktop());
    Restart();
    PlaceRecording(1);
    Restart();
    // Data that does not compress: the archive needs as much room again.
    std::string noise(150 * 1024, '\0');
    std::uint32_t seed = 12345;
    for (char& byte : noise)
        byte = static_cast<char>((seed = seed * 1103515245 + 12345) >> 24);
    std::ofstream(State().folder + "/notes.bin", std::ios::binary) << noise;
    boxes_.Clear();
    CloseInterview();

    ASSERT_EQ(boxes_.Texts().size(), 1u);
    EXPECT_TRUE(boxes_.Texts()[0].starts_with("Не удалось создать архив собеседования " +
                                              ArchivePath() + ": Нет места на диске ("))
        << boxes_.Texts()[0];
    EXPECT_FALSE(fs::exists(ArchivePath()));
    EXPECT_TRUE(interviewSeen_.exam.closeShown);

    fs::remove(State().folder + "/notes.bin");
    CloseInterview();
    ExpectClosed();
    std::vector<std::string> expected = Header();
    expected.push_back(LineOf(Recording(1)));
    expected.push_back("Участников;1");
    EXPECT_EQ(ReportFileLines(), expected);
    ExpectArchiveOf({ReportName(), "1.mp3"});
    subscriptions_.clear();
    interview_.reset(); // before the file system goes
}

} // namespace
