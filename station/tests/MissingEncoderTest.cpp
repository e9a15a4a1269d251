// A station without its encoder library (a process of its own: a library, once loaded, stays):
// the interview and the check say why nothing is recorded.
#include "audio/lame.h"
#include "station/tests/CoreFixture.h"

#include <filesystem>

using namespace station;

namespace {

using coretest::PumpUntil;

const std::string Missing =
    "Не найдена нужная библиотека программы (liblame_enc.so library could not be loaded.)";

class WithoutEncoderLibrary : public ::testing::Environment {
public:
    void SetUp() override { audio::EncoderLibrary().SetFileName("liblame_enc_absent.so"); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new WithoutEncoderLibrary);

class MissingEncoderTest : public coretest::CoreFixture {};

TEST_F(MissingEncoderTest, ExamRecordingSaysWhyNothingIsRecorded) {
    OpenInterview();
    interview_->StartRecording();
    ASSERT_TRUE(PumpUntil([&] { return interviewSeen_.exam.banner == RecordingBanner::Failed; }));
    ASSERT_TRUE(PumpUntil([&] { return interview_->Report().size() == 6; }));
    const std::vector<std::string> texts = boxes_.Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Ошибка записи: " + Missing), texts.end())
        << ::testing::PrintToString(texts);
    // No file was made; its line says so.
    EXPECT_FALSE(std::filesystem::exists(Recording(1)));
    EXPECT_EQ(interview_->Report()[5], "1.mp3;30-12-1899 00.00.00;-1;00000000");
}

TEST_F(MissingEncoderTest, CheckSaysWhyNothingIsRecordedAndReturnsToIdle) {
    SaveParameters();
    check_->ToggleMicrophone();
    ASSERT_TRUE(PumpUntil([&] { return !boxes_.Texts().empty(); }));
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{"Ошибка проверки микрофона: " + Missing});
    EXPECT_EQ(check_->State(), CheckState{});
    EXPECT_EQ(checkSeen_.check, CheckState{});
}

} // namespace
