// The recorder's contract with the interview: a stop that keeps the capture for the next start,
// its release on every other way out, and the audio a pass lost, told on the GUI thread with its
// amount. On the in-process sound system, whose capture follows a perfect clock.
#include "station/core/Recorder.h"
#include "audio/AudioCapture.h"
#include "audio/AudioIndicators.h"
#include "audio/tests/FakeSoundSystem.h"
#include "audio/tests/GuiPump.h"
#include "station/LevelMeter.h"
#include "station/safeguards/SilenceWatch.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;
using audio::test::FakeSoundSystem;
using audio::test::PumpFor;
using audio::test::PumpUntil;

class RecorderTest : public ::testing::Test {
protected:
    RecorderTest() {
        station::RecorderEvents events;
        events.failed = [this] { ++failures; };
        events.audioLost = [this](std::chrono::milliseconds lost) {
            EXPECT_EQ(std::this_thread::get_id(), guiThread);
            told.push_back(lost);
        };
        recorder.emplace(station::ExamChainSettings(), sound, std::move(events));
    }

    std::string File(int number) const {
        return folder.Path() + "/" + std::to_string(number) + ".mp3";
    }

    FakeSoundSystem sound;
    testsupport::TemporaryFolder folder;
    const std::thread::id guiThread = std::this_thread::get_id();
    int failures = 0;
    std::vector<std::chrono::milliseconds> told;
    std::optional<station::Recorder> recorder;
};

// Two files that follow each other through a kept capture hold together the whole time from the
// first start to the last stop; the capture lives on between them and goes with the last stop.
TEST_F(RecorderTest, AKeptCaptureMakesTheNextFileGoOnWhereTheLastEnded) {
    const auto start = std::chrono::steady_clock::now();
    recorder->Start(File(1));
    PumpFor(700ms);
    recorder->Stop(station::AfterStop::KeepCaptureForNextStart);
    const auto first = recorder->RecordedDuration();
    EXPECT_TRUE(recorder->CaptureKept());
    EXPECT_EQ(sound.state.liveObjects, 2); // the device and its ring

    PumpFor(200ms); // the switch takes its time; the ring holds what comes meanwhile
    recorder->Start(File(2));
    PumpFor(700ms);
    const auto stopAsked = std::chrono::steady_clock::now();
    recorder->Stop();
    const auto stopped = std::chrono::steady_clock::now();
    EXPECT_EQ(sound.state.liveObjects, 0);
    EXPECT_FALSE(recorder->CaptureKept());
    const double recorded = double((first + recorder->RecordedDuration()).count()) / 1000;
    // Everything up to the last stop, short of the device's start after the first one; the stop
    // takes what was captured when it was asked for, not what came while it finished the file.
    EXPECT_GE(recorded, std::chrono::duration<double>(stopAsked - start).count() - 0.1);
    EXPECT_LE(recorded, std::chrono::duration<double>(stopped - start).count());
    EXPECT_EQ(recorder->LostDuration(), 0ms);
    EXPECT_EQ(failures, 0);
}

TEST_F(RecorderTest, TheDestructorReleasesAKeptCapture) {
    recorder->Start(File(1));
    PumpFor(200ms);
    recorder->Stop(station::AfterStop::KeepCaptureForNextStart);
    EXPECT_EQ(sound.state.liveObjects, 2);
    recorder.reset();
    EXPECT_EQ(sound.state.liveObjects, 0);
}

// A device that stops delivering fails the pass after a while; everything since its last sound is
// lost, told at once with the amount, and the pass's figure says the same.
TEST_F(RecorderTest, AStalledDeviceIsToldAsLostAudioWithItsAmount) {
    recorder->Start(File(1));
    PumpFor(300ms);
    sound.state.stalled = true;
    ASSERT_TRUE(PumpUntil([&] { return !told.empty() && failures == 1; }, 10s));
    EXPECT_GE(told.back(), 5000ms);
    EXPECT_LT(told.back(), 6000ms);
    recorder->Stop();
    EXPECT_EQ(recorder->LostDuration(), told.back());
}

// The silent-microphone banner and the receiver's check call the same moments silent: a steady
// loudness, turned into a gain by the gain library's reference (-18 LUFS), into a reading by the
// indicator and into a position by the meter, is at or below SilentLevel exactly when it is at
// or below the shared limit. One LU either side of it, from silence and from sound: the meter's
// integer steps blur the last half LU.
TEST(MeterSilence, TheMeterIsSilentWhereTheReceiverIs) {
    const double limit = interview_format::SilenceLufs;
    for (const double lufs : {-70.0, limit - 1, limit + 1, -23.0}) {
        const double reading = audio::TGainIndicator::GainValueFromTitleGain(-18 - lufs);
        for (const std::int64_t from : {std::int64_t{0}, std::int64_t{100}}) {
            std::int64_t position = from;
            for (int i = 0; i < 20; ++i)
                position = station::NextMeterPosition(position, reading);
            EXPECT_EQ(position <= station::SilentLevel, lufs <= limit)
                << lufs << " LUFS from position " << from << " settles at " << position;
        }
    }
}

} // namespace
