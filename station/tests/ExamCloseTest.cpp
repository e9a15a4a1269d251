// The interview close on the real window: the report, the labels and buttons, and the archive read
// back by independent readers.
#include "archive/SevenzipLibrary.h"
#include "controls/Label.h"
#include "controls/Panel.h"
#include "controls/PictureButton.h"
#include "platform/DateTime.h"
#include "platform/TextCodec.h"
#include "platform/testing/QtTestApplication.h"
#include "platform/testing/ScriptedMessageBoxes.h"
#include "platform/testing/TemporaryDesktop.h"
#include "station/UExam.h"
#include "station/UMainForm.h"
#include "station/USettings.h"

#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

namespace fs = std::filesystem;
using platform::testing::ScriptedMessageBoxes;
using platform::testing::TemporaryDesktop;

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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

class ExamCloseTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<TfrmMainForm>();
        exam_ = window_->frmExam;
        TfrmSettings* settings = window_->frmSettings;
        settings->edtRegion->setText(QStringLiteral("г. Москва"));
        settings->edtNameOU->setText(QStringLiteral("Школа №1"));
        settings->edtKodOU->setText(QStringLiteral("145"));
        settings->edtAud->setText(QStringLiteral("12"));
        settings->btnSaveParam->click();
        settings->btnWorkOK->click();
        ASSERT_TRUE(fs::is_directory(window_->InterviewDir));
    }

    static void Wait(int milliseconds) {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    }
    static std::string Text(const QWidget* label) {
        return static_cast<const QLabel*>(label)->text().toStdString();
    }
    std::string Stem() const {
        return "01-" + platform::FormatDateTime("ddmmyyyy", platform::Today()) + "-000145-012";
    }
    std::string ReportName() const {
        return "01-" + platform::FormatDateTime("ddmmyyyy", platform::Today()) +
               "-000000-000145-012.csv";
    }
    std::string ReportPath() const { return window_->InterviewDir + "/" + ReportName(); }
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
                platform::FormatDateTime("dd.mm.yyyy", window_->ExamDate), "г. Москва",
                "000145;Школа №1", "Аудитория;012"};
    }
    void ExpectClosedPage() const {
        EXPECT_EQ(Text(exam_->lblReport), "Сформирован отчёт:  " + ReportName());
        EXPECT_EQ(Text(exam_->lblArchive), "Архив собеседования: " + ArchivePath());
        EXPECT_TRUE(exam_->lblTimer->isHidden());
        EXPECT_TRUE(exam_->btnEnd->isHidden());
        EXPECT_FALSE(exam_->btn1->isHidden());
        EXPECT_FALSE(exam_->btnNext->isEnabled());
        EXPECT_FALSE(exam_->btnRecord->isEnabled());
        EXPECT_TRUE(exam_->spnl3->text().isEmpty());
        EXPECT_EQ(exam_->ZipArchive, nullptr);
    }
    // The archive holds the interview folder with exactly these files, byte for byte.
    void ExpectArchiveOf(const std::vector<std::string>& files) {
        const auto [code, output] = RunReader("unzip -t '" + ArchivePath() + "'");
        EXPECT_EQ(code, 0) << output;
        const std::string folder = fs::path(window_->InterviewDir).filename().string();
        std::string expected = folder + "/\n";
        for (const std::string& file : files)
            expected += folder + "/" + file + "\n";
        const std::string extracted = desktop_.Home() + "/extracted";
        EXPECT_EQ(ZipListing(ArchivePath(), extracted), expected);
        for (const std::string& file : files)
            EXPECT_EQ(ReadWholeFile(extracted + "/" + folder + "/" + file),
                      ReadWholeFile(window_->InterviewDir + "/" + file))
                << file;
    }

    TemporaryDesktop desktop_;
    ScriptedMessageBoxes boxes_;
    std::unique_ptr<TfrmMainForm> window_;
    TfrmExam* exam_ = nullptr;
};

TEST_F(ExamCloseTest, ThreeRecordingsGiveTheReportAndTheArchive) {
    exam_->btnRecord->click();
    Wait(1200);
    exam_->btnNext->click(); // "Вы уверены?" answered OK
    Wait(1200);
    exam_->btnNext->click();
    Wait(1200);
    exam_->btnEnd->click();

    const std::vector<std::string> lines = ReportFileLines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5), Header());
    for (int n = 1; n <= 3; ++n) {
        const std::string file = window_->InterviewDir + "/" + std::to_string(n) + ".mp3";
        EXPECT_EQ(lines[4 + n].rfind(std::to_string(n) + ".mp3;", 0), 0u) << lines[4 + n];
        EXPECT_NE(lines[4 + n].find(";" + std::to_string(fs::file_size(file)) + ";"),
                  std::string::npos)
            << lines[4 + n];
    }
    EXPECT_EQ(lines[8], "Участников;3");
    EXPECT_EQ(Text(exam_->lblCount), "Участников: 3");
    ExpectClosedPage();
    ExpectArchiveOf({ReportName(), "1.mp3", "2.mp3", "3.mp3"});
    EXPECT_EQ(boxes_.Texts(), (std::vector<std::string>{"Вы уверены?", "Вы уверены?"}));
}

TEST_F(ExamCloseTest, CloseWithoutRecordingsArchivesTheReportOnly) {
    exam_->btnEnd->click();

    std::vector<std::string> expected = Header();
    expected.push_back("Участников;1");
    EXPECT_EQ(ReportFileLines(), expected);
    EXPECT_EQ(Text(exam_->lblCount), "Участников: 1");
    ExpectClosedPage();
    ExpectArchiveOf({ReportName()});
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(ExamCloseTest, RepeatedCloseAfterAFailedSaveKeepsOneCountLine) {
    // A folder where the report should go makes the save fail.
    fs::create_directory(ReportPath());
    exam_->btnEnd->click();
    ASSERT_EQ(boxes_.Texts().size(), 1u);
    EXPECT_EQ(boxes_.Texts()[0].rfind("Cannot create file \"" + ReportPath() + "\".", 0), 0u)
        << boxes_.Texts()[0];
    EXPECT_FALSE(exam_->btnEnd->isHidden());
    EXPECT_TRUE(Text(exam_->lblReport).empty());
    EXPECT_FALSE(fs::exists(ArchivePath()));

    fs::remove(ReportPath());
    exam_->btnEnd->click();
    std::vector<std::string> expected = Header();
    expected.push_back("Участников;1");
    EXPECT_EQ(ReportFileLines(), expected);
    EXPECT_EQ(window_->ReportLines, expected);
    ExpectClosedPage();
}

TEST_F(ExamCloseTest, ArchiveFailureIsShownAfterTheReportIsSaved) {
    archive::sevenzip::SetSevenZipLibraryFileName("7z-not-installed.so");
    exam_->btnEnd->click();
    archive::sevenzip::SetSevenZipLibraryFileName("7z.so");

    EXPECT_EQ(boxes_.Texts(),
              (std::vector<std::string>{"Sevenzip: Failed to load 7z-not-installed.so"}));
    EXPECT_TRUE(fs::exists(ReportPath()));
    EXPECT_EQ(Text(exam_->lblReport), "Сформирован отчёт:  " + ReportName());
    EXPECT_TRUE(exam_->btnEnd->isHidden());
    EXPECT_FALSE(exam_->btn1->isHidden());
    EXPECT_TRUE(Text(exam_->lblArchive).empty());
    EXPECT_EQ(exam_->ZipArchive, nullptr);
    EXPECT_FALSE(fs::exists(ArchivePath()));
}

TEST_F(ExamCloseTest, ExitButtonEndsTheMessageLoop) {
    exam_->btnEnd->click();
    QTimer::singleShot(0, [this] { exam_->btn1->click(); });
    // Should the exit not work, the loop is ended with another code.
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
}

} // namespace
