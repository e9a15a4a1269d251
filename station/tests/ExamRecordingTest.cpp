// The interview's recordings on the real chain and the private sound server: start, next
// participant with and without confirmation, many participants, resume, failures and quitting
// during a recording.
#include "station/TimerText.h"
#include "station/tests/CoreFixture.h"

#include <chrono>
#include <filesystem>
#include <fstream>

using namespace station;

namespace {

namespace fs = std::filesystem;
using coretest::DecodedSeconds;
using coretest::Pump;
using coretest::PumpUntil;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;

class ExamRecordingTest : public coretest::CoreFixture {
protected:
    // The recording line of `name`, or empty.
    std::string LineOf(const std::string& name) const {
        for (const std::string& line : interview_->Report())
            if (line.rfind(name + ";", 0) == 0)
                return line;
        return {};
    }
    std::vector<std::string> RecordingLines() const {
        const std::vector<std::string> report = interview_->Report();
        return {report.begin() + 5, report.end()};
    }
    void Next(MessageResult answer) {
        boxes_.Answer(answer);
        interview_->NextParticipant();
    }
    const ExamState& Exam() const { return interviewSeen_.exam; }
    std::string TimerShown() const {
        return interviewSeen_.elapsed ? TimerText(*interviewSeen_.elapsed) : std::string();
    }
};

TEST_F(ExamRecordingTest, StartRecordsParticipantOneWithTimerMeterAndBanner) {
    OpenInterview();
    interview_->StartRecording();
    const ExamState recording{.startEnabled = false,
                              .nextEnabled = true,
                              .closeShown = true,
                              .exitShown = false,
                              .meterShown = true,
                              .timerShown = true,
                              .timerRunning = true,
                              .banner = RecordingBanner::Recording};
    EXPECT_EQ(Exam(), recording);
    EXPECT_EQ(interview_->Exam(), recording);
    EXPECT_EQ(TimerShown(), "0 мин. 0 сек.");
    EXPECT_TRUE(RecordingInto(Recording(1)));

    interview_->Tick();
    interview_->Tick();
    EXPECT_EQ(TimerShown(), "0 мин. 2 сек.");
    // The server's sine at half scale moves the meter.
    EXPECT_TRUE(PumpUntil([&] { return interviewSeen_.level > 0; }, 5));
    EXPECT_EQ(checkSeen_.levelEvents, 0);
    EXPECT_TRUE(fs::exists(Recording(1)));
    EXPECT_TRUE(boxes_.Texts().empty()) << ::testing::PrintToString(boxes_.Texts());
}

TEST_F(ExamRecordingTest, CancelledConfirmationKeepsRecordingIntoTheSameFile) {
    OpenInterview();
    interview_->StartRecording();
    Pump(1.3);
    interview_->Tick();
    const auto sizeBefore = fs::file_size(Recording(1));

    Next(MessageResult::Cancel);
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    const platform::MessageBoxRequest box = boxes_.Shown()[0];
    EXPECT_EQ(box.text, "Вы уверены?");
    EXPECT_EQ(box.caption, "Подтверждение");
    EXPECT_EQ(box.icon, MessageIcon::Question);
    EXPECT_EQ(box.buttons, MessageButtons::OkCancel);
    EXPECT_EQ(State().participant, 1);
    EXPECT_TRUE(RecordingInto(Recording(1)));
    EXPECT_EQ(interview_->Report().size(), 5u);
    EXPECT_EQ(TimerShown(), "0 мин. 1 сек.");

    Pump(1.0);
    EXPECT_GT(fs::file_size(Recording(1)), sizeBefore);
    EXPECT_FALSE(fs::exists(Recording(2)));
}

TEST_F(ExamRecordingTest, ConfirmedNextClosesTheFileReportsItAndStartsTheNext) {
    OpenInterview();
    interview_->StartRecording();
    Pump(1.2);
    interview_->Tick();

    Next(MessageResult::Ok);
    // The previous file is complete and reported before the next one starts.
    ASSERT_EQ(RecordingLines().size(), 1u);
    const std::string line = RecordingLines()[0];
    EXPECT_EQ(line.rfind("1.mp3;", 0), 0u) << line;
    EXPECT_NE(line.find(";" + std::to_string(fs::file_size(Recording(1))) + ";"), std::string::npos)
        << line;
    EXPECT_NEAR(DecodedSeconds(Recording(1)), 1.2, 0.3);
    EXPECT_EQ(State().participant, 2);
    EXPECT_EQ(interviewSeen_.participant, 2);
    EXPECT_TRUE(RecordingInto(Recording(2)));
    EXPECT_EQ(TimerShown(), "0 мин. 0 сек.");
    EXPECT_FALSE(Exam().startEnabled);
    EXPECT_TRUE(Exam().nextEnabled);
    EXPECT_EQ(Exam().banner, RecordingBanner::Recording);
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{"Вы уверены?"});
}

TEST_F(ExamRecordingTest, TenParticipantsGiveTenFilesAndTenLinesInOrder) {
    OpenInterview();
    std::vector<double> recorded;
    interview_->StartRecording();
    auto started = std::chrono::steady_clock::now();
    for (int participant = 1; participant <= 10; ++participant) {
        Pump(0.4 + 0.06 * participant);
        const auto stopped = std::chrono::steady_clock::now();
        recorded.push_back(std::chrono::duration<double>(stopped - started).count());
        if (participant < 10)
            Next(MessageResult::Ok);
        else
            interview_->StopRecording();
        started = std::chrono::steady_clock::now();
    }
    EXPECT_EQ(State().participant, 10);
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
                               platform::FormatDateTime("ddmmyyyy", State().examDate) +
                               "-000145-012";
    fs::create_directories(folder);
    for (const char* earlier : {"1.mp3", "2.mp3", "3.mp3"})
        std::ofstream(folder + "/" + earlier) << "earlier recording";
    ASSERT_TRUE(interview_->ConfirmReadiness());
    ASSERT_EQ(State().participant, 4);
    boxes_.Clear();

    interview_->StartRecording();
    EXPECT_TRUE(RecordingInto(Recording(4)));
    Pump(0.6);
    Next(MessageResult::Ok);
    EXPECT_TRUE(RecordingInto(Recording(5)));
    EXPECT_FALSE(LineOf("4.mp3").empty());
    interview_->StopRecording();
    EXPECT_FALSE(LineOf("5.mp3").empty());
    EXPECT_EQ(fs::file_size(folder + "/3.mp3"), std::string("earlier recording").size());
}

TEST_F(ExamRecordingTest, RemovedInterviewFolderIsShownAndRecordingRecoversOnceItIsBack) {
    OpenInterview();
    interview_->StartRecording();
    Pump(0.6);
    fs::remove_all(State().folder);

    Next(MessageResult::Ok);
    // The next file cannot be created: the failure is shown and stays on the banner.
    ASSERT_TRUE(PumpUntil([&] { return Exam().banner == RecordingBanner::Failed; }));
    Pump(0.5);
    const std::vector<std::string> texts = boxes_.Texts();
    const auto failure = std::find_if(texts.begin(), texts.end(), [](const std::string& text) {
        return text.rfind("Ошибка записи: ", 0) == 0 && text.find("2.mp3") != std::string::npos;
    });
    EXPECT_NE(failure, texts.end()) << ::testing::PrintToString(texts);
    EXPECT_EQ(Exam().banner, RecordingBanner::Failed);
    EXPECT_FALSE(RecordingInto(Recording(2)));
    // Both files still get their lines; the missing one as the report shows a missing file.
    EXPECT_EQ(LineOf("2.mp3"), "2.mp3;30-12-1899 00.00.00;-1;00000000");
    EXPECT_FALSE(LineOf("1.mp3").empty());

    fs::create_directories(State().folder);
    boxes_.Clear();
    Next(MessageResult::Ok);
    EXPECT_EQ(interviewSeen_.recording, Recording(3));
    ASSERT_TRUE(PumpUntil([&] { return Exam().banner == RecordingBanner::Recording; }, 5));
    EXPECT_TRUE(RecordingInto(Recording(3)));
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{"Вы уверены?"});
}

TEST_F(ExamRecordingTest, QuittingDuringARecordingAsksAndFinishesTheRecordingFirst) {
    OpenInterview();
    interview_->StartRecording();
    Pump(1.0);

    boxes_.Answer(MessageResult::Cancel);
    EXPECT_FALSE(interview_->MayQuit());
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    EXPECT_EQ(boxes_.Shown()[0].text, "Собеседование не завершено. Выйти из программы?");
    EXPECT_EQ(boxes_.Shown()[0].caption, "");
    EXPECT_EQ(boxes_.Shown()[0].buttons, MessageButtons::OkCancel);
    EXPECT_TRUE(RecordingRunning());

    boxes_.Answer(MessageResult::Ok);
    EXPECT_TRUE(interview_->MayQuit());
    EXPECT_FALSE(RecordingRunning());
    EXPECT_FALSE(LineOf("1.mp3").empty());
    EXPECT_NEAR(DecodedSeconds(Recording(1)), 1.0, 0.3);
}

TEST_F(ExamRecordingTest, QuittingBeforeReadinessOrAfterTheCloseAsksNothing) {
    SaveParameters();
    EXPECT_TRUE(interview_->MayQuit());
    ASSERT_TRUE(interview_->ConfirmReadiness());
    interview_->StartRecording();
    Pump(0.5);
    CloseInterview();
    ASSERT_FALSE(Exam().closeShown);
    boxes_.Clear();
    EXPECT_TRUE(interview_->MayQuit());
    EXPECT_TRUE(boxes_.Texts().empty()) << ::testing::PrintToString(boxes_.Texts());
}

// The core's own end: a recording still running is finished and reported before the report goes.
TEST_F(ExamRecordingTest, EndingTheCoreDuringARecordingCompletesTheFile) {
    OpenInterview();
    interview_->StartRecording();
    Pump(0.8);
    subscriptions_.clear();
    interview_.reset();
    EXPECT_NEAR(DecodedSeconds(desktop_.Desktop() + "/01-" +
                               platform::FormatDateTime("ddmmyyyy", platform::Today()) +
                               "-000145-012/1.mp3"),
                0.8, 0.3);
}

} // namespace
