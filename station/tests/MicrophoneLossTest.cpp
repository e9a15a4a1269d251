// The microphone goes away under a running recording, on a sound server of the test's own: its
// source is unloaded, the server is told to move the stream to another source, or the source is
// suspended. Each time the operator is told at once and the file so far is kept complete.
#include "station/tests/CoreFixture.h"
#include "station/tests/PrivateSoundServer.h"

#include <chrono>

using namespace station;

namespace {

using coretest::Pump;
using coretest::PumpUntil;
using Clock = std::chrono::steady_clock;

struct LossCase {
    const char* name;
    const char* prepare; // before the recording starts; empty for none
    const char* action;  // takes the microphone away
};

const LossCase LossCases[] = {
    {"Unloaded", "", "pactl unload-module module-sine-source"},
    {"MovedToAnotherSource", "pactl load-module module-sine-source source_name=other",
     "pactl move-source-output $(pactl list short source-outputs | cut -f1 | head -n1) other"},
    {"Suspended", "", "pactl suspend-source sine 1"},
};

class MicrophoneLossTest : public coretest::ServerHolder,
                           public coretest::CoreFixture,
                           public ::testing::WithParamInterface<LossCase> {
protected:
    bool Shown(const std::string& prefix) const {
        for (const std::string& text : boxes_.Texts())
            if (text.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
};

TEST_P(MicrophoneLossTest, ExamTellsTheOperatorAtOnceAndKeepsTheFile) {
    const LossCase& c = GetParam();
    if (*c.prepare) {
        ASSERT_TRUE(server_->Run(c.prepare));
    }
    OpenInterview();
    interview_->StartRecording();
    Pump(2.5);
    ASSERT_TRUE(RecordingInto(Recording(1)));
    ASSERT_TRUE(server_->Run(c.action)) << c.action;
    const auto lost = Clock::now();

    const std::string told = "Ошибка записи: Микрофон отключён (";
    ASSERT_TRUE(PumpUntil([&] { return Shown(told); })) << ::testing::PrintToString(boxes_.Texts());
    EXPECT_LT(Clock::now() - lost, std::chrono::milliseconds(1500));
    bool advised = false;
    for (const std::string& text : boxes_.Texts())
        advised = advised || text.find("«Следующий участник»") != std::string::npos;
    EXPECT_TRUE(advised) << ::testing::PrintToString(boxes_.Texts());
    EXPECT_EQ(interviewSeen_.exam.banner, RecordingBanner::Failed);

    // The recording has ended as a stop ends it: a complete file with its report line.
    ASSERT_TRUE(PumpUntilRecordingListed(6));
    const std::vector<std::string> report = interview_->Report();
    ASSERT_EQ(report.size(), 6u);
    EXPECT_EQ(report[5].rfind("1.mp3;", 0), 0u);
    EXPECT_GT(coretest::DecodedSeconds(Recording(1)), 1.0);
}

INSTANTIATE_TEST_SUITE_P(Losses, MicrophoneLossTest, ::testing::ValuesIn(LossCases),
                         [](const auto& info) { return std::string(info.param.name); });

class CheckMicrophoneLossTest : public coretest::ServerHolder, public coretest::CoreFixture {};

TEST_F(CheckMicrophoneLossTest, TheCheckTellsTheOperatorAndReturnsToIdle) {
    SaveParameters();
    check_->ToggleMicrophone();
    Pump(2.0);
    ASSERT_TRUE(check_->TestRecorder().Busy());
    ASSERT_TRUE(server_->Run("pactl unload-module module-sine-source"));

    ASSERT_TRUE(PumpUntil([&] {
        for (const std::string& text : boxes_.Texts())
            if (text.rfind("Ошибка проверки микрофона: Микрофон отключён (", 0) == 0)
                return true;
        return false;
    })) << ::testing::PrintToString(boxes_.Texts());
    EXPECT_EQ(check_->State(), CheckState{});
}

} // namespace
