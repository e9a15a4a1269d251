// A station without its encoder library (a process of its own: a library, once loaded, stays):
// both pages say why nothing is recorded.
#include "audio/lame.h"
#include "controls/Panel.h"
#include "controls/ProgressBar.h"
#include "controls/ToggleButton.h"
#include "platform/testing/QtTestApplication.h"
#include "station/tests/StationRecordingFixture.h"

#include <filesystem>

namespace {

using stationtest::PumpUntil;
using stationtest::Text;

const std::string Missing = "liblame_enc.so library could not be loaded.";

class WithoutEncoderLibrary : public ::testing::Environment {
public:
    void SetUp() override { audio::EncoderLibrary().SetFileName("liblame_enc_absent.so"); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new WithoutEncoderLibrary);

class MissingEncoderTest : public stationtest::StationFixture {};

TEST_F(MissingEncoderTest, ExamPageShowsWhyNothingIsRecorded) {
    OpenExamPage();
    exam_->btnRecord->click();
    ASSERT_TRUE(PumpUntil([&] { return Text(exam_->spnl3) == "Ошибка записи!"; }));
    ASSERT_TRUE(PumpUntil([&] { return window_->ReportLines.size() == 6; }));
    const std::vector<std::string> texts = boxes_.Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Ошибка записи: " + Missing), texts.end())
        << ::testing::PrintToString(texts);
    // No file was made; its line says so.
    EXPECT_FALSE(std::filesystem::exists(Recording(1)));
    EXPECT_EQ(window_->ReportLines[5], "1.mp3;30-12-1899 00.00.00;-1;00000000");
}

TEST_F(MissingEncoderTest, CheckShowsWhyNothingIsRecordedAndReturnsToIdle) {
    SaveParameters();
    settings_->btnCheckMicr->click();
    ASSERT_TRUE(PumpUntil([&] { return !boxes_.Texts().empty(); }));
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{"Ошибка проверки микрофона: " + Missing});
    EXPECT_FALSE(settings_->btnCheckMicr->Down());
    EXPECT_EQ(settings_->btnCheckMicr->ImageIndex(), 3);
    EXPECT_TRUE(settings_->sprgrsbr1->isHidden());
    EXPECT_TRUE(settings_->btnCheckRecord->isEnabled());
}

} // namespace
