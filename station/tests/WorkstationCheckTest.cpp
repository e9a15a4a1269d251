// The workstation check on the real chain and playback library, on the private sound server: the
// state of its two toggles and meter after every transition.
#include "controls/ProgressBar.h"
#include "controls/ToggleButton.h"
#include "platform/testing/QtTestApplication.h"
#include "station/Naming.h"
#include "station/tests/StationRecordingFixture.h"

#include <atomic>
#include <filesystem>
#include <ostream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using stationtest::DecodedSeconds;
using stationtest::Pump;
using stationtest::PumpUntil;

struct CheckState {
    bool micDown;
    int micPicture;
    bool micEnabled;
    bool playDown;
    int playPicture;
    bool playEnabled;
    bool meterShown;
    bool operator==(const CheckState&) const = default;
};

std::ostream& operator<<(std::ostream& out, const CheckState& s) {
    return out << "mic " << (s.micDown ? "down" : "up") << " " << s.micPicture
               << (s.micEnabled ? "" : " disabled") << ", play " << (s.playDown ? "down" : "up")
               << " " << s.playPicture << (s.playEnabled ? "" : " disabled") << ", meter "
               << (s.meterShown ? "shown" : "hidden");
}

const CheckState Idle{false, 3, true, false, 4, true, false};
const CheckState MicrophoneTest{true, 5, true, false, 4, false, true};
const CheckState Playback{false, 3, true, true, 5, true, false};
const CheckState PlaybackEnded{false, 3, true, true, 4, true, false};

class WorkstationCheckTest : public stationtest::StationFixture {
protected:
    void SetUp() override {
        StationFixture::SetUp();
        fs::remove(TestRecordingFileName());
        SaveParameters();
    }
    void TearDown() override {
        // Nothing of one test may still hold the test file in the next.
        settings_->mp3t1->Stop(false);
        StationFixture::TearDown();
    }

    CheckState State() const {
        const controls::ToggleButton& mic = *settings_->btnCheckMicr;
        const controls::ToggleButton& play = *settings_->btnCheckRecord;
        return {mic.Down(),
                mic.ImageIndex(),
                mic.isEnabled(),
                play.Down(),
                play.ImageIndex(),
                play.isEnabled(),
                !settings_->sprgrsbr1->isHidden()};
    }
    void ClickMicrophone() { settings_->btnCheckMicr->click(); }
    void ClickPlayback() { settings_->btnCheckRecord->click(); }
    // A finished test recording of about `seconds`.
    void RecordTestFile(double seconds) {
        ClickMicrophone();
        Pump(seconds);
        ClickMicrophone();
        ASSERT_TRUE(PumpUntil([&] { return !settings_->mp3t1->Busy(); }));
    }
};

TEST_F(WorkstationCheckTest, MicrophoneTestRecordsTheTestFileWithAMovingMeter) {
    EXPECT_EQ(State(), Idle);
    ClickMicrophone();
    EXPECT_EQ(State(), MicrophoneTest);
    EXPECT_EQ(settings_->mp3t1->FileName(), TestRecordingFileName());
    EXPECT_TRUE(settings_->mp3t1->Busy());
    Pump(1.2);
    EXPECT_GT(settings_->sprgrsbr1->Position(), 0);

    ClickMicrophone();
    EXPECT_EQ(State(), Idle);
    // Switched off asynchronously: the recording finishes on its own.
    ASSERT_TRUE(PumpUntil([&] { return !settings_->mp3t1->Busy(); }));
    EXPECT_NEAR(DecodedSeconds(TestRecordingFileName()), 1.2, 0.3);
    EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(WorkstationCheckTest, EveryMicrophoneTestReplacesTheTestFile) {
    RecordTestFile(1.5);
    EXPECT_NEAR(DecodedSeconds(TestRecordingFileName()), 1.5, 0.3);
    RecordTestFile(0.5);
    EXPECT_NEAR(DecodedSeconds(TestRecordingFileName()), 0.5, 0.3);
}

TEST_F(WorkstationCheckTest, PlaybackStartsAndIsStoppedByItsButton) {
    RecordTestFile(2.0);
    ClickPlayback();
    EXPECT_EQ(State(), Playback);
    EXPECT_NE(PlayStream, 0u);
    EXPECT_NE(PlaySync, 0u);
    Pump(0.3);
    ClickPlayback();
    EXPECT_EQ(State(), Idle);
    EXPECT_EQ(PlayStream, 0u);
    EXPECT_EQ(PlaySync, 0u);
    EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(WorkstationCheckTest, PlaybackEndedByItselfNeedsTwoClicksToPlayAgain) {
    RecordTestFile(0.5);
    ClickPlayback();
    ASSERT_NE(PlayStream, 0u);
    ASSERT_TRUE(PumpUntil([&] { return State() == PlaybackEnded; }, 10)) << State();
    EXPECT_EQ(PlayStream, 0u);
    EXPECT_EQ(PlaySync, 0u);

    ClickPlayback();
    EXPECT_EQ(State(), Idle);
    EXPECT_EQ(PlayStream, 0u);
    ClickPlayback();
    EXPECT_EQ(State(), Playback);
    EXPECT_NE(PlayStream, 0u);
    ASSERT_TRUE(PumpUntil([&] { return State() == PlaybackEnded; }, 10)) << State();
    ClickMicrophone();
    EXPECT_EQ(State(), MicrophoneTest);
    EXPECT_TRUE(settings_->mp3t1->Busy());
}

// The end of a playback is reported from the library's thread and handled later on the GUI thread;
// by then the operator may have stopped that playback and started another one.
TEST_F(WorkstationCheckTest, LateEndOfAnEarlierPlaybackLeavesTheCurrentOneAlone) {
    RecordTestFile(2.0);
    ClickPlayback();
    const platform::HSTREAM earlier = PlayStream;
    const platform::HSYNC earlierSync = PlaySync;
    ClickPlayback();
    ClickPlayback();
    const platform::HSTREAM current = PlayStream;
    ASSERT_NE(current, 0u);
    ASSERT_NE(current, earlier);

    const auto endFrom = [](platform::HSYNC sync, platform::HSTREAM stream) {
        std::atomic<bool> returned{false};
        std::thread library([&] {
            PlayEndSync(sync, stream, 0, nullptr);
            returned = true;
        });
        const bool handled = PumpUntil([&] { return returned.load(); }, 5);
        library.join();
        return handled;
    };
    ASSERT_TRUE(endFrom(earlierSync, earlier));
    EXPECT_EQ(State(), Playback);
    EXPECT_EQ(PlayStream, current);

    ASSERT_TRUE(endFrom(PlaySync, current));
    EXPECT_EQ(State(), PlaybackEnded);
    EXPECT_EQ(PlayStream, 0u);
}

TEST_F(WorkstationCheckTest, SwitchingTheTestOnAgainBeforeTheLastOneFinishedIsRefused) {
    ClickMicrophone();
    Pump(0.3);
    ClickMicrophone();
    // The previous test recording is still being finished on its worker.
    ClickMicrophone();
    ASSERT_EQ(boxes_.Texts(), std::vector<std::string>{"Component is Busy"});
    EXPECT_EQ(State(), (CheckState{true, 3, true, false, 4, true, false}));
}

TEST_F(WorkstationCheckTest, MicrophoneTestDuringPlaybackReleasesThePlaybackFirst) {
    RecordTestFile(2.0);
    ClickPlayback();
    ASSERT_NE(PlayStream, 0u);
    ClickMicrophone();
    EXPECT_EQ(State(), MicrophoneTest);
    EXPECT_EQ(PlayStream, 0u);
    // The released playback no longer holds the file: the new test recording replaces it.
    Pump(0.8);
    ClickMicrophone();
    ASSERT_TRUE(PumpUntil([&] { return !settings_->mp3t1->Busy(); }));
    EXPECT_NEAR(DecodedSeconds(TestRecordingFileName()), 0.8, 0.3);
    EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(WorkstationCheckTest, PlaybackRightAfterTheMicrophoneTestOrWithoutAFileIsQuiet) {
    // The finishing recording may still hold its file: then nothing plays, and nothing is said.
    ClickMicrophone();
    Pump(0.5);
    ClickMicrophone();
    ClickPlayback();
    EXPECT_EQ(State(), Playback);
    ASSERT_TRUE(PumpUntil([&] { return !settings_->mp3t1->Busy(); }));
    ClickPlayback();
    EXPECT_EQ(State(), Idle);

    fs::remove(TestRecordingFileName());
    ClickPlayback();
    EXPECT_EQ(State(), Playback);
    EXPECT_EQ(PlayStream, 0u);
    Pump(0.3);
    EXPECT_EQ(State(), Playback);
    ClickPlayback();
    EXPECT_EQ(State(), Idle);
    EXPECT_TRUE(boxes_.Texts().empty());
}

} // namespace
