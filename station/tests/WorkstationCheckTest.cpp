// The workstation check on the real chain and playback library, on the private sound server: the
// state of its two toggles and its meter after every transition.
#include "station/tests/CaptureDouble.h"
#include "station/tests/CoreFixture.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <ostream>
#include <thread>

using namespace station;

namespace station {

// How a failing comparison prints a check state (beside the type, where the comparison finds it).
inline std::ostream& operator<<(std::ostream& out, const CheckState& s) {
    return out << "microphone " << (s.microphoneDown ? "down" : "up")
               << (s.microphoneRunning ? " stop" : " microphone") << ", playback "
               << (s.playbackDown ? "down" : "up") << (s.playbackRunning ? " stop" : " play")
               << (s.playbackEnabled ? "" : " disabled") << ", meter "
               << (s.meterShown ? "shown" : "hidden");
}

} // namespace station

namespace {

namespace fs = std::filesystem;
using coretest::DecodedSeconds;
using coretest::Pump;
using coretest::PumpUntil;

// The states of the check's table.
const CheckState Idle{.microphoneDown = false,
                      .microphoneRunning = false,
                      .playbackDown = false,
                      .playbackRunning = false,
                      .playbackEnabled = true,
                      .meterShown = false};
const CheckState MicrophoneTest{.microphoneDown = true,
                                .microphoneRunning = true,
                                .playbackDown = false,
                                .playbackRunning = false,
                                .playbackEnabled = false,
                                .meterShown = true};
const CheckState PlaybackRuns{.microphoneDown = false,
                              .microphoneRunning = false,
                              .playbackDown = true,
                              .playbackRunning = true,
                              .playbackEnabled = true,
                              .meterShown = false};
const CheckState PlaybackEnded{.microphoneDown = false,
                               .microphoneRunning = false,
                               .playbackDown = true,
                               .playbackRunning = false,
                               .playbackEnabled = true,
                               .meterShown = false};

class WorkstationCheckTest : public coretest::CoreFixture {
protected:
    WorkstationCheckTest() = default;
    explicit WorkstationCheckTest(platform::SoundSystem& sound) : CoreFixture(sound) {}
    void TearDown() override {
        // Nothing of one test may still hold the test file in the next.
        check_->TestRecorder().Stop();
    }

    const CheckState& State() const { return check_->State(); }
    Recorder& TestRecorder() { return check_->TestRecorder(); }
    // A finished test recording of about `seconds`.
    void RecordTestFile(double seconds) {
        check_->ToggleMicrophone();
        Pump(seconds);
        check_->ToggleMicrophone();
        ASSERT_TRUE(PumpUntil([&] { return !TestRecorder().Busy(); }));
    }
};

TEST_F(WorkstationCheckTest, MicrophoneTestRecordsTheTestFileWithAMovingMeter) {
    EXPECT_EQ(State(), Idle);
    check_->ToggleMicrophone();
    EXPECT_EQ(State(), MicrophoneTest);
    EXPECT_EQ(checkSeen_.check, MicrophoneTest);
    EXPECT_EQ(TestRecorder().FileName(), TestFile());
    EXPECT_TRUE(TestRecorder().Busy());
    Pump(1.2);
    EXPECT_GT(checkSeen_.level, 0);
    EXPECT_EQ(interviewSeen_.levelEvents, 0);

    check_->ToggleMicrophone();
    EXPECT_EQ(State(), Idle);
    EXPECT_EQ(checkSeen_.level, 0);
    // Switched off asynchronously: the recording finishes on its own.
    ASSERT_TRUE(PumpUntil([&] { return !TestRecorder().Busy(); }));
    EXPECT_NEAR(DecodedSeconds(TestFile()), 1.2, 0.3);
    EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(WorkstationCheckTest, EveryMicrophoneTestReplacesTheTestFile) {
    RecordTestFile(1.5);
    EXPECT_NEAR(DecodedSeconds(TestFile()), 1.5, 0.3);
    RecordTestFile(0.5);
    EXPECT_NEAR(DecodedSeconds(TestFile()), 0.5, 0.3);
}

TEST_F(WorkstationCheckTest, PlaybackStartsAndIsStoppedByItsButton) {
    RecordTestFile(2.0);
    check_->TogglePlayback();
    EXPECT_EQ(State(), PlaybackRuns);
    EXPECT_NE(check_->CurrentPlayback().stream, 0u);
    EXPECT_NE(check_->CurrentPlayback().sync, 0u);
    Pump(0.3);
    check_->TogglePlayback();
    EXPECT_EQ(State(), Idle);
    EXPECT_EQ(check_->CurrentPlayback().stream, 0u);
    EXPECT_EQ(check_->CurrentPlayback().sync, 0u);
    EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(WorkstationCheckTest, PlaybackEndedByItselfNeedsTwoClicksToPlayAgain) {
    RecordTestFile(0.5);
    check_->TogglePlayback();
    ASSERT_NE(check_->CurrentPlayback().stream, 0u);
    ASSERT_TRUE(PumpUntil([&] { return State() == PlaybackEnded; }, 10)) << State();
    EXPECT_EQ(checkSeen_.check, PlaybackEnded);
    EXPECT_EQ(check_->CurrentPlayback().stream, 0u);
    EXPECT_EQ(check_->CurrentPlayback().sync, 0u);

    check_->TogglePlayback();
    EXPECT_EQ(State(), Idle);
    check_->TogglePlayback();
    EXPECT_EQ(State(), PlaybackRuns);
    EXPECT_NE(check_->CurrentPlayback().stream, 0u);
    ASSERT_TRUE(PumpUntil([&] { return State() == PlaybackEnded; }, 10)) << State();
    check_->ToggleMicrophone();
    EXPECT_EQ(State(), MicrophoneTest);
    EXPECT_TRUE(TestRecorder().Busy());
}

// The end of a playback is reported from the library's thread and handled later on the GUI thread;
// by then the operator may have stopped that playback and started another one.
TEST_F(WorkstationCheckTest, LateEndOfAnEarlierPlaybackLeavesTheCurrentOneAlone) {
    RecordTestFile(2.0);
    check_->TogglePlayback();
    const Playback earlier = check_->CurrentPlayback();
    check_->TogglePlayback();
    check_->TogglePlayback();
    const Playback current = check_->CurrentPlayback();
    ASSERT_NE(current.stream, 0u);
    ASSERT_NE(current.stream, earlier.stream);

    const auto endFrom = [&](const Playback& ended) {
        std::atomic<bool> returned{false};
        std::thread library([&] {
            check_->PlaybackEnded(ended);
            returned = true;
        });
        const bool handled = PumpUntil([&] { return returned.load(); }, 5);
        library.join();
        return handled;
    };
    ASSERT_TRUE(endFrom(earlier));
    EXPECT_EQ(State(), PlaybackRuns);
    EXPECT_EQ(check_->CurrentPlayback().stream, current.stream);

    ASSERT_TRUE(endFrom(current));
    EXPECT_EQ(State(), PlaybackEnded);
    EXPECT_EQ(check_->CurrentPlayback().stream, 0u);
}

TEST_F(WorkstationCheckTest, MicrophoneTestDuringPlaybackReleasesThePlaybackFirst) {
    RecordTestFile(2.0);
    check_->TogglePlayback();
    ASSERT_NE(check_->CurrentPlayback().stream, 0u);
    check_->ToggleMicrophone();
    EXPECT_EQ(State(), MicrophoneTest);
    EXPECT_EQ(check_->CurrentPlayback().stream, 0u);
    // The released playback no longer holds the file: the new test recording replaces it.
    Pump(0.8);
    check_->ToggleMicrophone();
    ASSERT_TRUE(PumpUntil([&] { return !TestRecorder().Busy(); }));
    EXPECT_NEAR(DecodedSeconds(TestFile()), 0.8, 0.3);
    EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(WorkstationCheckTest, PlaybackRightAfterTheMicrophoneTestOrWithoutAFileIsQuiet) {
    // The finishing recording may still hold its file: then nothing plays, and nothing is said.
    check_->ToggleMicrophone();
    Pump(0.5);
    check_->ToggleMicrophone();
    check_->TogglePlayback();
    EXPECT_EQ(State(), PlaybackRuns);
    ASSERT_TRUE(PumpUntil([&] { return !TestRecorder().Busy(); }));
    check_->TogglePlayback();
    EXPECT_EQ(State(), Idle);

    fs::remove(TestFile());
    check_->TogglePlayback();
    EXPECT_EQ(State(), PlaybackRuns);
    EXPECT_EQ(check_->CurrentPlayback().stream, 0u);
    Pump(0.3);
    EXPECT_EQ(State(), PlaybackRuns);
    check_->TogglePlayback();
    EXPECT_EQ(State(), Idle);
    EXPECT_TRUE(boxes_.Texts().empty());
}

// Confirming readiness while the microphone test still recorded left it recording all day behind
// the exam (test01.mp3 grew on), a second stream on the microphone that cost each answer audio.
TEST_F(WorkstationCheckTest, ReadinessEndsAMicrophoneTestStillRecording) {
    SaveParameters();
    check_->ToggleMicrophone();
    Pump(1.0);
    ASSERT_TRUE(interview_->ConfirmReadiness());
    // Finished when readiness returns, before the exam can record.
    EXPECT_FALSE(TestRecorder().Busy());
    EXPECT_EQ(State(), Idle);
    EXPECT_EQ(checkSeen_.check, Idle);
    const auto size = fs::file_size(TestFile());
    interview_->StartRecording();
    Pump(1.0);
    EXPECT_TRUE(RecordingInto(Recording(1)));
    EXPECT_EQ(fs::file_size(TestFile()), size);
    EXPECT_NEAR(DecodedSeconds(TestFile()), 1.0, 0.3);
    EXPECT_TRUE(boxes_.Texts().empty()) << ::testing::PrintToString(boxes_.Texts());
}

// The test recording played over the loudspeakers would be picked up by the exam's microphone.
TEST_F(WorkstationCheckTest, ReadinessEndsAPlaybackStillRunning) {
    RecordTestFile(2.0);
    SaveParameters();
    check_->TogglePlayback();
    ASSERT_NE(check_->CurrentPlayback().stream, 0u);
    ASSERT_TRUE(interview_->ConfirmReadiness());
    EXPECT_EQ(check_->CurrentPlayback().stream, 0u);
    EXPECT_EQ(State(), Idle);
    EXPECT_EQ(checkSeen_.check, Idle);
}

// The sound server's capture with a gate in front of the end of a capture: while the gate is
// closed, a recording that is asked to stop cannot finish.
class GatedSound : public coretest::CaptureDouble {
public:
    void Close() {
        std::lock_guard guard(lock_);
        open_ = false;
    }
    void Open() {
        {
            std::lock_guard guard(lock_);
            open_ = true;
        }
        opened_.notify_all();
    }
    bool Holding() const { return holding_; }

protected:
    void Stopping() override {
        std::unique_lock guard(lock_);
        holding_ = !open_;
        opened_.wait(guard, [&] { return open_; });
        holding_ = false;
    }

private:
    std::mutex lock_;
    std::condition_variable opened_;
    bool open_ = true;
    std::atomic<bool> holding_{false};
};

struct GatedSoundHolder {
    GatedSound gate;
};

class HeldTestRecordingTest : private GatedSoundHolder, public WorkstationCheckTest {
protected:
    HeldTestRecordingTest() : WorkstationCheckTest(gate) {}
    void TearDown() override {
        gate.Open();
        WorkstationCheckTest::TearDown();
    }
    GatedSound& Gate() { return gate; }
};

TEST_F(HeldTestRecordingTest, SwitchingTheTestOnAgainBeforeTheLastOneFinishedIsRefused) {
    check_->ToggleMicrophone();
    Pump(0.3);
    Gate().Close();
    check_->ToggleMicrophone();
    // The previous test recording is held while it is being finished on its worker.
    ASSERT_TRUE(PumpUntil([&] { return Gate().Holding(); }, 10));
    check_->ToggleMicrophone();
    ASSERT_EQ(boxes_.Texts(),
              std::vector<std::string>{"Предыдущая запись ещё завершается (Component is Busy)"});
    EXPECT_EQ(boxes_.Shown()[0].icon, platform::MessageIcon::Error);
    const CheckState refused{.microphoneDown = true,
                             .microphoneRunning = false,
                             .playbackDown = false,
                             .playbackRunning = false,
                             .playbackEnabled = true,
                             .meterShown = false};
    EXPECT_EQ(State(), refused);
    EXPECT_EQ(checkSeen_.check, refused);

    Gate().Open();
    ASSERT_TRUE(PumpUntil([&] { return !TestRecorder().Busy(); }));
    EXPECT_GT(DecodedSeconds(TestFile()), 0.1);
}

} // namespace
