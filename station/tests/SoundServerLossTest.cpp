// A sound server that goes away during a recording, on a server of the test's own (the shared one
// must keep running): both pages show the failure and end in a sound state.
#include "controls/Panel.h"
#include "controls/ProgressBar.h"
#include "controls/Timer.h"
#include "controls/ToggleButton.h"
#include "platform/testing/QtTestApplication.h"
#include "station/Naming.h"
#include "station/tests/StationRecordingFixture.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using stationtest::Pump;
using stationtest::PumpUntil;
using stationtest::Text;

// A private server started with the project's script; PULSE_SERVER points to it while it lives.
class PrivateSoundServer {
public:
    PrivateSoundServer()
        : folder_(fs::temp_directory_path() / ("pulse-loss-" + std::to_string(::getpid()))) {
        if (const char* old = std::getenv("PULSE_SERVER"))
            saved_ = old;
        Script("start");
        ::setenv("PULSE_SERVER", ("unix:" + (folder_ / "native").string()).c_str(), 1);
    }
    ~PrivateSoundServer() {
        Stop();
        if (saved_)
            ::setenv("PULSE_SERVER", saved_->c_str(), 1);
        else
            ::unsetenv("PULSE_SERVER");
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void Stop() { Script("stop"); }

private:
    void Script(const char* command) const {
        const std::string line = std::string(STATION_SOURCE_DIR) +
                                 "/scripts/pulse-test-server.sh " + command + " " +
                                 folder_.string() + " >/dev/null 2>&1";
        if (std::system(line.c_str()) != 0)
            ADD_FAILURE() << line;
    }
    fs::path folder_;
    std::optional<std::string> saved_;
};

class SoundServerLossTest : public stationtest::StationFixture {
protected:
    void SetUp() override {
        server_.emplace();
        StationFixture::SetUp();
    }
    void TearDown() override {
        StationFixture::TearDown();
        server_.reset();
    }
    bool Shown(const std::string& prefix) const {
        for (const std::string& text : boxes_.Texts())
            if (text.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
    std::optional<PrivateSoundServer> server_;
};

TEST_F(SoundServerLossTest, ExamPageShowsTheFailureAndKeepsTheFileAndItsLine) {
    OpenExamPage();
    exam_->btnRecord->click();
    Pump(1.0);
    ASSERT_TRUE(exam_->mp3t1->Busy());
    server_->Stop();

    ASSERT_TRUE(PumpUntil([&] { return Shown("Ошибка записи: "); }))
        << ::testing::PrintToString(boxes_.Texts());
    EXPECT_EQ(Text(exam_->spnl3), "Ошибка записи!");
    ASSERT_TRUE(PumpUntil([&] { return !exam_->mp3t1->Busy(); }));
    // What was recorded before the loss is a complete file with its report line.
    ASSERT_EQ(window_->ReportLines.size(), 6u);
    EXPECT_EQ(window_->ReportLines[5].rfind("1.mp3;", 0), 0u);
    EXPECT_GT(stationtest::DecodedSeconds(Recording(1)), 0.5);
    // The timer and captions go on; the banner keeps the failure.
    Pump(0.5);
    EXPECT_EQ(Text(exam_->spnl3), "Ошибка записи!");
    EXPECT_TRUE(exam_->tmr1->Enabled());
}

TEST_F(SoundServerLossTest, CheckShowsTheFailureAndReturnsToIdle) {
    SaveParameters();
    settings_->btnCheckMicr->click();
    Pump(0.8);
    ASSERT_TRUE(settings_->mp3t1->Busy());
    server_->Stop();

    ASSERT_TRUE(PumpUntil([&] { return Shown("Ошибка проверки микрофона: "); }))
        << ::testing::PrintToString(boxes_.Texts());
    EXPECT_FALSE(settings_->btnCheckMicr->Down());
    EXPECT_EQ(settings_->btnCheckMicr->ImageIndex(), 3);
    EXPECT_TRUE(settings_->sprgrsbr1->isHidden());
    EXPECT_TRUE(settings_->btnCheckRecord->isEnabled());
    EXPECT_FALSE(settings_->btnCheckRecord->Down());
}

} // namespace
