// The exam page on the real recording chain and the private sound server: start, next participant
// with and without confirmation, many participants, resume, failures and closing the window.
#include "controls/Label.h"
#include "controls/Panel.h"
#include "controls/ProgressBar.h"
#include "controls/Timer.h"
#include "platform/testing/QtTestApplication.h"
#include "station/tests/StationRecordingFixture.h"

#include <chrono>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;
using stationtest::DecodedSeconds;
using stationtest::Pump;
using stationtest::PumpUntil;
using stationtest::Text;

const std::string RecordingBanner = "Идёт запись ...";
const std::string Failed = "Ошибка записи!";

class ExamRecordingTest : public stationtest::StationFixture {
protected:
    // The recording line of `name`, or empty.
    std::string LineOf(const std::string& name) const {
        for (const std::string& line : window_->ReportLines)
            if (line.rfind(name + ";", 0) == 0)
                return line;
        return {};
    }
    std::vector<std::string> RecordingLines() const {
        return {window_->ReportLines.begin() + 5, window_->ReportLines.end()};
    }
    void Next(MessageResult answer) {
        boxes_.Answer(answer);
        exam_->btnNext->click();
    }
};

TEST_F(ExamRecordingTest, StartRecordsParticipantOneWithTimerMeterAndBanner) {
    OpenExamPage();
    exam_->btnRecord->click();
    EXPECT_FALSE(exam_->sprgrsbr1->isHidden());
    EXPECT_FALSE(exam_->btnRecord->isEnabled());
    EXPECT_TRUE(exam_->btnNext->isEnabled());
    EXPECT_TRUE(exam_->btnEnd->isEnabled());
    EXPECT_EQ(Text(exam_->spnl3), RecordingBanner);
    EXPECT_EQ(Text(exam_->lblTimer), "0 мин. 0 сек.");
    EXPECT_TRUE(exam_->tmr1->Enabled());
    EXPECT_EQ(exam_->mp3t1->FileName(), Recording(1));
    EXPECT_TRUE(exam_->mp3t1->Busy());

    // The timer ticks every second; the server's sine at half scale moves the meter.
    EXPECT_TRUE(PumpUntil([&] { return Text(exam_->lblTimer) == "0 мин. 2 сек."; }, 5));
    EXPECT_TRUE(PumpUntil([&] { return exam_->sprgrsbr1->Position() > 0; }, 5));
    EXPECT_TRUE(fs::exists(Recording(1)));
    EXPECT_TRUE(boxes_.Texts().empty()) << ::testing::PrintToString(boxes_.Texts());
}

TEST_F(ExamRecordingTest, CancelledConfirmationKeepsRecordingIntoTheSameFile) {
    OpenExamPage();
    exam_->btnRecord->click();
    Pump(1.3);
    const auto sizeBefore = fs::file_size(Recording(1));

    Next(MessageResult::Cancel);
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    const platform::MessageBoxRequest box = boxes_.Shown()[0];
    EXPECT_EQ(box.text, "Вы уверены?");
    EXPECT_EQ(box.caption, "Подтверждение");
    EXPECT_EQ(box.icon, MessageIcon::Question);
    EXPECT_EQ(box.buttons, MessageButtons::OkCancel);
    EXPECT_EQ(window_->MemberNo, 1);
    EXPECT_EQ(exam_->mp3t1->FileName(), Recording(1));
    EXPECT_TRUE(exam_->mp3t1->Busy());
    EXPECT_EQ(window_->ReportLines.size(), 5u);
    EXPECT_NE(Text(exam_->lblTimer), "0 мин. 0 сек.");

    Pump(1.0);
    EXPECT_GT(fs::file_size(Recording(1)), sizeBefore);
    EXPECT_FALSE(fs::exists(Recording(2)));
}

TEST_F(ExamRecordingTest, ConfirmedNextClosesTheFileReportsItAndStartsTheNext) {
    OpenExamPage();
    exam_->btnRecord->click();
    Pump(1.2);

    Next(MessageResult::Ok);
    // The previous file is complete and reported before the next one starts.
    ASSERT_EQ(RecordingLines().size(), 1u);
    const std::string line = RecordingLines()[0];
    EXPECT_EQ(line.rfind("1.mp3;", 0), 0u) << line;
    EXPECT_NE(line.find(";" + std::to_string(fs::file_size(Recording(1))) + ";"), std::string::npos)
        << line;
    EXPECT_NEAR(DecodedSeconds(Recording(1)), 1.2, 0.3);
    EXPECT_EQ(window_->MemberNo, 2);
    EXPECT_EQ(exam_->mp3t1->FileName(), Recording(2));
    EXPECT_TRUE(exam_->mp3t1->Busy());
    EXPECT_EQ(Text(exam_->lblMember), "Участник - 2");
    EXPECT_EQ(Text(exam_->lblTimer), "0 мин. 0 сек.");
    EXPECT_FALSE(exam_->btnRecord->isEnabled());
    EXPECT_TRUE(exam_->btnNext->isEnabled());
    EXPECT_EQ(Text(exam_->spnl3), RecordingBanner);
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{"Вы уверены?"});
}

TEST_F(ExamRecordingTest, TenParticipantsGiveTenFilesAndTenLinesInOrder) {
    OpenExamPage();
    std::vector<double> recorded;
    exam_->btnRecord->click();
    auto started = std::chrono::steady_clock::now();
    for (int participant = 1; participant <= 10; ++participant) {
        Pump(0.4 + 0.06 * participant);
        const auto stopped = std::chrono::steady_clock::now();
        recorded.push_back(std::chrono::duration<double>(stopped - started).count());
        if (participant < 10)
            Next(MessageResult::Ok);
        else
            exam_->StopRecording();
        started = std::chrono::steady_clock::now();
    }
    EXPECT_EQ(window_->MemberNo, 10);
    const std::vector<std::string> lines = RecordingLines();
    ASSERT_EQ(lines.size(), 10u);
    for (int participant = 1; participant <= 10; ++participant) {
        const std::string name = std::to_string(participant) + ".mp3";
        EXPECT_EQ(lines[participant - 1].rfind(name + ";", 0), 0u) << lines[participant - 1];
        EXPECT_NEAR(DecodedSeconds(Recording(participant)), recorded[participant - 1], 0.3) << name;
    }
    EXPECT_FALSE(fs::exists(Recording(11)));
}

TEST_F(ExamRecordingTest, StartRecordsTheParticipantNumberTheInterviewResumesWith) {
    SaveParameters();
    const std::string folder = desktop_.Desktop() + "/01-" +
                               platform::FormatDateTime("ddmmyyyy", window_->ExamDate) +
                               "-000145-012";
    fs::create_directories(folder);
    for (const char* earlier : {"1.mp3", "2.mp3", "3.mp3"})
        std::ofstream(folder + "/" + earlier) << "earlier recording";
    settings_->btnWorkOK->click();
    ASSERT_EQ(window_->MemberNo, 4);
    boxes_.Clear();

    exam_->btnRecord->click();
    EXPECT_EQ(exam_->mp3t1->FileName(), Recording(4));
    Pump(0.6);
    Next(MessageResult::Ok);
    EXPECT_EQ(exam_->mp3t1->FileName(), Recording(5));
    EXPECT_FALSE(LineOf("4.mp3").empty());
    exam_->StopRecording();
    EXPECT_FALSE(LineOf("5.mp3").empty());
    EXPECT_EQ(fs::file_size(folder + "/3.mp3"), std::string("earlier recording").size());
}

TEST_F(ExamRecordingTest, RemovedInterviewFolderIsShownAndRecordingRecoversOnceItIsBack) {
    OpenExamPage();
    exam_->btnRecord->click();
    Pump(0.6);
    fs::remove_all(window_->InterviewDir);

    Next(MessageResult::Ok);
    // The next file cannot be created: the failure is shown and stays on the banner.
    ASSERT_TRUE(PumpUntil([&] { return Text(exam_->spnl3) == Failed; }));
    Pump(0.5);
    const std::vector<std::string> texts = boxes_.Texts();
    const auto failure = std::find_if(texts.begin(), texts.end(), [](const std::string& text) {
        return text.rfind("Ошибка записи: ", 0) == 0 && text.find("2.mp3") != std::string::npos;
    });
    EXPECT_NE(failure, texts.end()) << ::testing::PrintToString(texts);
    EXPECT_EQ(Text(exam_->spnl3), Failed);
    EXPECT_FALSE(exam_->mp3t1->Busy());
    // Both files still get their lines; the missing one as the report shows a missing file.
    EXPECT_EQ(LineOf("2.mp3"), "2.mp3;30-12-1899 00.00.00;-1;00000000");
    EXPECT_FALSE(LineOf("1.mp3").empty());

    fs::create_directories(window_->InterviewDir);
    boxes_.Clear();
    Next(MessageResult::Ok);
    EXPECT_EQ(exam_->mp3t1->FileName(), Recording(3));
    ASSERT_TRUE(PumpUntil([&] { return Text(exam_->spnl3) == RecordingBanner; }, 5));
    EXPECT_TRUE(exam_->mp3t1->Busy());
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{"Вы уверены?"});
}

TEST_F(ExamRecordingTest, ClosingTheWindowAsksAndFinishesTheRecordingFirst) {
    OpenExamPage();
    exam_->btnRecord->click();
    Pump(1.0);

    boxes_.Answer(MessageResult::Cancel);
    EXPECT_FALSE(window_->close());
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    EXPECT_EQ(boxes_.Shown()[0].text, "Собеседование не завершено. Выйти из программы?");
    EXPECT_EQ(boxes_.Shown()[0].buttons, MessageButtons::OkCancel);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(exam_->mp3t1->Busy());

    boxes_.Answer(MessageResult::Ok);
    EXPECT_TRUE(window_->close());
    EXPECT_FALSE(window_->isVisible());
    EXPECT_FALSE(exam_->mp3t1->Busy());
    EXPECT_FALSE(LineOf("1.mp3").empty());
    EXPECT_NEAR(DecodedSeconds(Recording(1)), 1.0, 0.3);
}

TEST_F(ExamRecordingTest, ClosingBeforeReadinessAsksNothing) {
    SaveParameters();
    EXPECT_TRUE(window_->close());
    EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(ExamRecordingTest, ClosingAfterTheInterviewIsClosedAsksNothing) {
    OpenExamPage();
    exam_->btnRecord->click();
    Pump(0.5);
    exam_->btnEnd->click();
    ASSERT_TRUE(exam_->btnEnd->isHidden());
    boxes_.Clear();
    EXPECT_TRUE(window_->close());
    EXPECT_TRUE(boxes_.Texts().empty()) << ::testing::PrintToString(boxes_.Texts());
}

} // namespace
