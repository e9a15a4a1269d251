// One operation at a time: while a box of one operation is open (its nested event loop runs, and
// assistive technology can press covered buttons), the interview refuses every other operation,
// and it refuses what its state does not offer.
#include "station/tests/CoreFixture.h"

#include <filesystem>
#include <functional>

using namespace station;

namespace {

namespace fs = std::filesystem;
using coretest::Pump;
using platform::MessageResult;

// Installs `answer` as the message boxes for the life of the object; the boxes it shows are kept.
class BoxesThatAct {
public:
    explicit BoxesThatAct(std::function<MessageResult(const platform::MessageBoxRequest&)> answer)
        : previous_(platform::SetMessageBoxPresenter(
              [this, answer = std::move(answer)](const platform::MessageBoxRequest& request) {
                  texts.push_back(request.text);
                  return answer(request);
              })) {}
    ~BoxesThatAct() { platform::SetMessageBoxPresenter(std::move(previous_)); }
    BoxesThatAct(const BoxesThatAct&) = delete;
    BoxesThatAct& operator=(const BoxesThatAct&) = delete;

    std::vector<std::string> texts;

private:
    platform::MessageBoxPresenter previous_;
};

class OneOperationTest : public coretest::CoreFixture {
protected:
    std::string ArchivePath() const {
        return desktop_.Desktop() + "/" + fs::path(State().folder).filename().string() + ".zip";
    }
    std::size_t RecordingLines() const {
        std::size_t count = 0;
        for (const std::string& line : interview_->Report())
            count += line.find(".mp3;") != std::string::npos ? 1 : 0;
        return count;
    }
};

// What the station did on an exam day: the close, pressed while "Вы уверены?" was open, packed
// the archive, and OK then recorded participant 2 outside it.
TEST_F(OneOperationTest, NothingElseRunsWhileTheNextParticipantQuestionIsOpen) {
    OpenInterview();
    interview_->StartRecording();
    Pump(0.5);
    bool examBlocked = false;
    {
        BoxesThatAct boxes([&](const platform::MessageBoxRequest& request) {
            if (request.text == "Вы уверены?") {
                examBlocked = interviewSeen_.exam.operationRunning;
                interview_->Close();
                interview_->StartRecording();
                interview_->NextParticipant();
                EXPECT_FALSE(interview_->MayQuit());
            }
            return MessageResult::Ok;
        });
        interview_->NextParticipant();
        EXPECT_EQ(boxes.texts, std::vector<std::string>{"Вы уверены?"});
    }
    EXPECT_TRUE(examBlocked);
    EXPECT_FALSE(interviewSeen_.exam.operationRunning);
    EXPECT_FALSE(Packing());
    EXPECT_FALSE(interviewSeen_.report.has_value());
    EXPECT_FALSE(fs::exists(ArchivePath()));
    EXPECT_EQ(State().participant, 2);
    EXPECT_TRUE(RecordingInto(Recording(2)));

    // The close now takes both recordings into the archive.
    Pump(0.5);
    CloseInterview();
    ASSERT_TRUE(interviewSeen_.proof.has_value());
    EXPECT_TRUE(interviewSeen_.proof->sound) << interviewSeen_.proof->text;
    EXPECT_EQ(interviewSeen_.report->participants, 2);
    EXPECT_EQ(RecordingLines(), 2u);
    EXPECT_FALSE(RecordingRunning());
}

TEST_F(OneOperationTest, TheQuitQuestionAdmitsNoOtherOperation) {
    OpenInterview();
    interview_->StartRecording();
    Pump(0.3);
    BoxesThatAct boxes([&](const platform::MessageBoxRequest& request) {
        // Asked to quit, the operator then presses "Следующий участник" through the screen reader.
        if (request.text.rfind("Собеседование не завершено", 0) == 0)
            interview_->NextParticipant();
        return MessageResult::Ok;
    });
    EXPECT_TRUE(interview_->MayQuit());
    EXPECT_EQ(boxes.texts,
              std::vector<std::string>{"Собеседование не завершено. Выйти из программы?"});
    EXPECT_FALSE(RecordingRunning());
    EXPECT_FALSE(fs::exists(Recording(2)));
}

TEST_F(OneOperationTest, OperationsTheStateDoesNotOfferDoNothing) {
    // Before the parameters and readiness.
    EXPECT_FALSE(interview_->ConfirmReadiness());
    interview_->StartRecording();
    interview_->NextParticipant();
    interview_->Close();
    EXPECT_FALSE(RecordingRunning());
    EXPECT_FALSE(interviewSeen_.report.has_value());
    EXPECT_TRUE(interviewSeen_.opened.empty());

    OpenInterview();
    // Readiness and the parameters belong to the first page: gone once the interview is open.
    EXPECT_FALSE(interview_->ConfirmReadiness());
    EXPECT_FALSE(interview_->SaveParameters(
        {.region = "Р", .schoolName = "Ш", .schoolCode = "999", .room = "1"}));
    EXPECT_EQ(State().schoolCode6, "000145");
    // No next participant before the first one is recorded.
    interview_->NextParticipant();
    EXPECT_FALSE(RecordingRunning());
    EXPECT_EQ(State().participant, 1);

    interview_->StartRecording();
    Pump(0.3);
    // Started once: a second start does not restart the file.
    interview_->StartRecording();
    EXPECT_EQ(interviewSeen_.started, std::vector<std::string>{Recording(1)});
    CloseInterview();
    ASSERT_TRUE(interviewSeen_.proof.has_value() && interviewSeen_.proof->sound);
    // A closed interview records nobody and is not closed twice.
    interview_->StartRecording();
    interview_->NextParticipant();
    EXPECT_FALSE(RecordingRunning());
    interviewSeen_.report.reset();
    interview_->Close();
    EXPECT_FALSE(Packing());
    EXPECT_FALSE(interviewSeen_.report.has_value());
    EXPECT_TRUE(boxes_.Texts().empty()) << ::testing::PrintToString(boxes_.Texts());
}

// The session ends while a question is open: the recording is finished at once, and the answer
// that comes afterwards starts nothing.
TEST_F(OneOperationTest, TheSessionEndFinishesTheRecordingEvenWhileAQuestionIsOpen) {
    OpenInterview();
    interview_->StartRecording();
    Pump(0.8);
    {
        BoxesThatAct boxes([&](const platform::MessageBoxRequest&) {
            interview_->EndSession("SIGTERM");
            EXPECT_FALSE(RecordingRunning());
            return MessageResult::Ok;
        });
        interview_->NextParticipant();
    }
    EXPECT_FALSE(RecordingRunning());
    EXPECT_FALSE(fs::exists(Recording(2)));
    EXPECT_EQ(State().participant, 1);
    EXPECT_NEAR(coretest::DecodedSeconds(Recording(1)), 0.8, 0.3);
    EXPECT_EQ(RecordingLines(), 1u);
    EXPECT_FALSE(interviewSeen_.exam.timerRunning);
    EXPECT_TRUE(interview_->MayQuit());
}

} // namespace
