// A sound server that goes away during a recording, on a server of the test's own (the shared one
// must keep running): the interview and the check tell the failure and end in a sound state.
#include "station/TimerText.h"
#include "station/core/WorkLog.h"
#include "station/safeguards/StationLog.h"
#include "station/tests/CoreFixture.h"
#include "station/tests/PrivateSoundServer.h"

#include <filesystem>
#include <fstream>
#include <iterator>

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
    // The banner keeps the failure; the timer stands, since nothing is recorded any more.
    Pump(0.5);
    EXPECT_EQ(interviewSeen_.exam.banner, RecordingBanner::Failed);
    EXPECT_FALSE(interviewSeen_.exam.timerRunning);
}

// The timer counted on after the failure, and the log said «Запись завершена: 2.mp3, 0 мин. 2 сек.»
// for a file that was never created.
TEST_F(SoundServerLossTest, AfterTheFailureNothingIsTimedOrLoggedAsRecordedThatWasNot) {
    StationLog log(desktop_.Home() + "/state/station.log");
    WorkLog workLog(log);
    subscriptions_.push_back(interview_->Observers().SubscribeFirst(workLog));
    OpenInterview();
    interview_->StartRecording();
    Pump(2.4);
    interview_->Tick();
    interview_->Tick();
    server_->Stop();
    ASSERT_TRUE(PumpUntil([&] { return interviewSeen_.exam.banner == RecordingBanner::Failed; }));
    EXPECT_FALSE(interviewSeen_.exam.timerRunning);
    // A tick already under way when the recording ended counts nothing either.
    interview_->Tick();
    EXPECT_EQ(TimerText(*interviewSeen_.elapsed), "0 мин. 2 сек.");

    // The next participant's recording cannot start without the server: no file, no time.
    boxes_.Answer(platform::MessageResult::Ok);
    interview_->NextParticipant();
    // Its worker fails, and lists it as a recording that never started.
    ASSERT_TRUE(PumpUntilRecordingListed(7));
    Pump(0.2);
    EXPECT_FALSE(interviewSeen_.exam.timerRunning);
    interview_->Tick();
    EXPECT_EQ(TimerText(*interviewSeen_.elapsed), "0 мин. 0 сек.");
    interview_->StopRecording();
    ASSERT_FALSE(std::filesystem::exists(Recording(2)));

    ASSERT_EQ(interviewSeen_.finished.size(), 2u);
    EXPECT_TRUE(interviewSeen_.finished[0].made);
    // The first file's length is the audio in it.
    EXPECT_NEAR(static_cast<double>(interviewSeen_.finished[0].duration.count()),
                coretest::DecodedSeconds(Recording(1)), 1.0);
    EXPECT_FALSE(interviewSeen_.finished[1].made);
    std::ifstream in(log.Path());
    std::string logged((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(logged.find("Запись завершена: 1.mp3, 0 мин. 2 сек.\n"), std::string::npos) << logged;
    EXPECT_NE(logged.find("Запись не состоялась: 2.mp3 (файл не создан)\n"), std::string::npos)
        << logged;
    EXPECT_EQ(logged.find("Запись завершена: 2.mp3"), std::string::npos) << logged;
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

namespace {

// The sound server goes away after two participants, the start of the third fails, the server
// comes back and the fourth records; then the station is started again. The third participant's
// line lived only in memory; from the disk, its number is one without a recording: readiness
// names it, the report lists it as never started, and the close proves the archive.
// The exam's capture opens at readiness; without a sound server readiness still opens the
// interview and tells why nothing can record, and the start tries again.
TEST_F(SoundServerLossTest, ACaptureThatCannotOpenAtReadinessIsToldAndTheStartTriesAgain) {
    SaveParameters();
    server_->Stop();
    ASSERT_TRUE(interview_->ConfirmReadiness());
    EXPECT_TRUE(Shown("Микрофон недоступен (")) << ::testing::PrintToString(boxes_.Texts());
    EXPECT_TRUE(interviewSeen_.exam.startEnabled);

    server_.reset(); // the shared server is there
    interview_->StartRecording();
    ASSERT_TRUE(PumpUntil([&] { return RecordingInto(Recording(1)); }))
        << ::testing::PrintToString(boxes_.Texts());
    Pump(1.0);
    interview_->StopRecording();
    EXPECT_GT(coretest::DecodedSeconds(Recording(1)), 0.5);
}

TEST_F(SoundServerLossTest, AFailedStartBeforeARestartStillClosesTheInterview) {
    OpenInterview();
    interview_->StartRecording();
    Pump(1.0);
    boxes_.Answer(platform::MessageResult::Ok);
    interview_->NextParticipant();
    ASSERT_TRUE(PumpUntil([&] { return RecordingInto(Recording(2)); }));
    Pump(1.0);
    server_->Stop();
    ASSERT_TRUE(PumpUntil([&] { return interviewSeen_.exam.banner == RecordingBanner::Failed; }));
    boxes_.Answer(platform::MessageResult::Ok);
    interview_->NextParticipant();
    ASSERT_TRUE(PumpUntilRecordingListed(8));
    EXPECT_FALSE(std::filesystem::exists(Recording(3)));

    // The server is back (the shared one), and the next participant records.
    server_.reset();
    boxes_.Answer(platform::MessageResult::Ok);
    interview_->NextParticipant();
    ASSERT_TRUE(PumpUntil([&] { return RecordingInto(Recording(4)); }))
        << ::testing::PrintToString(boxes_.Texts());
    Pump(1.0);
    interview_->StopRecording();

    Rewire();
    boxes_.Clear();
    OpenInterview();
    EXPECT_TRUE(Shown("В папке собеседования уже есть записи участников: 3. Нет записей "
                      "участников 3:"))
        << ::testing::PrintToString(boxes_.Texts());
    interview_->Close();
    ASSERT_TRUE(PumpUntil([&] { return interviewSeen_.proof.has_value(); }, 120));
    EXPECT_TRUE(interviewSeen_.proof->sound) << interviewSeen_.proof->text;
}

} // namespace
