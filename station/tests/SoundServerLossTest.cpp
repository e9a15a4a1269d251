// A sound server that goes away during a recording, on a server of the test's own (the shared one
// must keep running): the interview and the check tell the failure and end in a sound state.
#include "station/tests/CoreFixture.h"
#include "station/tests/PrivateSoundServer.h"

using namespace station;

namespace {

using coretest::Pump;
using coretest::PumpUntil;

class SoundServerLossTest : public coretest::ServerHolder, public coretest::CoreFixture {
protected:
    bool Shown(const std::string& prefix) const {
        for (const std::string& text : boxes_.Texts())
            if (text.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
};

TEST_F(SoundServerLossTest, ExamRecordingTellsTheFailureAndKeepsTheFileAndItsLine) {
    OpenInterview();
    interview_->StartRecording();
    Pump(1.0);
    ASSERT_TRUE(RecordingInto(Recording(1)));
    server_->Stop();

    ASSERT_TRUE(PumpUntil([&] { return Shown("Ошибка записи: Микрофон недоступен ("); }))
        << ::testing::PrintToString(boxes_.Texts());
    EXPECT_EQ(interviewSeen_.exam.banner, RecordingBanner::Failed);
    // What was recorded before the loss is a complete file with its report line.
    ASSERT_TRUE(PumpUntilRecordingListed(6));
    const std::vector<std::string> report = interview_->Report();
    ASSERT_EQ(report.size(), 6u);
    EXPECT_EQ(report[5].rfind("1.mp3;", 0), 0u);
    EXPECT_GT(coretest::DecodedSeconds(Recording(1)), 0.5);
    // The timer and captions go on; the banner keeps the failure.
    Pump(0.5);
    EXPECT_EQ(interviewSeen_.exam.banner, RecordingBanner::Failed);
    EXPECT_TRUE(interviewSeen_.exam.timerRunning);
}

TEST_F(SoundServerLossTest, CheckTellsTheFailureAndReturnsToIdle) {
    SaveParameters();
    check_->ToggleMicrophone();
    Pump(0.8);
    ASSERT_TRUE(check_->TestRecorder().Busy());
    server_->Stop();

    ASSERT_TRUE(PumpUntil([&] {
        return Shown("Ошибка проверки микрофона: Микрофон недоступен (");
    })) << ::testing::PrintToString(boxes_.Texts());
    EXPECT_EQ(check_->State(), CheckState{});
    EXPECT_EQ(checkSeen_.check, CheckState{});
}

} // namespace
