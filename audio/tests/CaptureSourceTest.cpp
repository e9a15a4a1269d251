#include "audio/AudioCapture.h"
#include "audio/AudioException.h"
#include "audio/EventHandler.h"
#include "audio/tests/FakeSoundSystem.h"
#include "audio/tests/GuiPump.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using audio::EAudioException;
using audio::TDSAudioIn;
using audio::test::FakeSample;
using audio::test::FakeSoundSystem;
using namespace std::chrono_literals;

// The exam station's capture format.
void UseExamFormat(TDSAudioIn& source) {
    source.SetInBitsPerSample(16);
    source.SetInChannels(1);
    source.SetInSampleRate(44100);
}

std::string OpenFailure(TDSAudioIn& source) {
    try {
        source.Open();
    } catch (const EAudioException& e) {
        return e.what();
    }
    return "(opened)";
}

struct LatencyCase {
    std::uint32_t latency;
    std::uint32_t latencyAfter;
    std::uint32_t frames;
    std::uint32_t polling;
};

class CaptureLatency : public ::testing::TestWithParam<LatencyCase> {};

TEST_P(CaptureLatency, DerivesRingAndPollingAtOpen) {
    const LatencyCase c = GetParam();
    FakeSoundSystem system;
    TDSAudioIn source(system);
    UseExamFormat(source);
    source.SetLatency(c.latency);
    source.Open();
    EXPECT_EQ(source.Latency(), c.latencyAfter);
    EXPECT_EQ(source.FramesInBuffer(), c.frames);
    EXPECT_EQ(source.PollingInterval(), c.polling);
    EXPECT_EQ(system.state.lastRingBytes, c.frames * 2);
    source.SetFramesInBuffer(1); // ignored while open
    EXPECT_EQ(source.FramesInBuffer(), c.frames);
    source.Close();
}

INSTANTIATE_TEST_SUITE_P(Latencies, CaptureLatency,
                         ::testing::Values(LatencyCase{100, 100, 4410, 50},
                                           LatencyCase{70, 70, 3087, 35},
                                           LatencyCase{5, 10, 441, 5},
                                           LatencyCase{0, 0, 24576, 100}));

TEST(CaptureSource, ConstructionDefaults) {
    FakeSoundSystem system;
    TDSAudioIn source(system);
    EXPECT_EQ(source.DeviceNumber(), 0);
    EXPECT_EQ(source.BitsPerSample(), 8u);
    EXPECT_EQ(source.Channels(), 1u);
    EXPECT_EQ(source.SampleRate(), 8000u);
    EXPECT_EQ(source.Latency(), 100u);
    EXPECT_EQ(source.FramesInBuffer(), 24576u);
    EXPECT_EQ(source.PollingInterval(), 100u);
    EXPECT_EQ(source.RecTime(), -1);
    EXPECT_EQ(source.SamplesToRead(), -1);
    EXPECT_EQ(source.Size(), -1);
    EXPECT_FALSE(source.EchoRecording());
}

// Reads everything until the end, checking that the samples are the device's, in order.
std::int64_t ReadToEnd(TDSAudioIn& source, std::uint32_t want) {
    std::int64_t total = 0;
    std::uint64_t sample = 0;
    for (;;) {
        const void* block = nullptr;
        std::uint32_t bytes = want;
        source.ReadBlock(block, bytes);
        if (bytes == 0)
            return total;
        EXPECT_LE(bytes, want);
        const auto* samples = static_cast<const std::int16_t*>(block);
        for (std::uint32_t i = 0; i < bytes / 2; ++i, ++sample)
            if (samples[i] != FakeSample(sample)) {
                ADD_FAILURE() << "sample " << sample << " is out of order";
                return total;
            }
        total += bytes;
    }
}

TEST(CaptureSource, RecTimeDeliversExactlyItsBytesThenTheEnd) {
    FakeSoundSystem system;
    TDSAudioIn source(system);
    UseExamFormat(source);
    source.SetRecTime(3);
    EXPECT_EQ(source.SamplesToRead(), 3 * 44100);
    source.Open();
    EXPECT_EQ(source.Size(), 2 * 3 * 44100);
    EXPECT_EQ(ReadToEnd(source, 5000), 2 * 3 * 44100); // 5000 does not divide it: the last is cut
    const void* block = &block;
    std::uint32_t bytes = 100;
    source.ReadBlock(block, bytes);
    EXPECT_EQ(bytes, 0u);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(source.OverrunCount(), 0u);
    source.Close();
}

TEST(CaptureSource, RecTimeZeroEndsAtOnceAndNegativeNeverEnds) {
    FakeSoundSystem system;
    TDSAudioIn source(system);
    UseExamFormat(source);
    source.SetRecTime(0);
    source.Open();
    const void* block = nullptr;
    std::uint32_t bytes = 100;
    source.ReadBlock(block, bytes);
    EXPECT_EQ(bytes, 0u);
    source.Close();

    source.SetRecTime(-5);
    EXPECT_EQ(source.SamplesToRead(), -1);
    source.Open();
    std::int64_t total = 0;
    const auto end = std::chrono::steady_clock::now() + 300ms;
    while (std::chrono::steady_clock::now() < end) {
        bytes = 1 << 20;
        source.ReadBlock(block, bytes);
        ASSERT_GT(bytes, 0u);
        total += bytes;
    }
    EXPECT_GT(total, 0);
    source.Close();
}

TEST(CaptureSource, ServesTheWindowInPiecesWithoutWaiting) {
    FakeSoundSystem system;
    TDSAudioIn source(system);
    UseExamFormat(source);
    source.Open();
    const void* block = nullptr;
    std::uint32_t bytes = 100;
    source.ReadBlock(block, bytes); // waits one polling interval, then takes about 50 ms
    ASSERT_EQ(bytes, 100u);
    const auto before = std::chrono::steady_clock::now();
    bytes = 100;
    source.ReadBlock(block, bytes);
    EXPECT_EQ(bytes, 100u);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 20ms);
    EXPECT_EQ(static_cast<const std::int16_t*>(block)[0], FakeSample(50));
    bytes = 1 << 20; // more than the window holds: its rest only
    source.ReadBlock(block, bytes);
    EXPECT_GT(bytes, 0u);
    EXPECT_LT(bytes, 8820u);
    EXPECT_EQ(source.Position(), 200 + bytes);
    source.Close();
}

TEST(CaptureSource, RecognisesAnOverrunAndKeepsTheRingInOrder) {
    FakeSoundSystem system;
    TDSAudioIn source(system);
    UseExamFormat(source);
    std::atomic<int> delivered{0};
    std::atomic<audio::TComponent*> sender{nullptr};
    source.OnOverrun = [&](audio::TComponent* s) {
        sender = s;
        ++delivered;
    };
    audio::AcquireEventThread();
    source.Open();
    const void* block = nullptr;
    // Reading on time for half a second loses nothing.
    for (int i = 0; i < 20; ++i) {
        std::uint32_t bytes = 1 << 20;
        source.ReadBlock(block, bytes);
    }
    EXPECT_EQ(source.OverrunCount(), 0u);

    std::this_thread::sleep_for(350ms); // more than three rings
    std::uint32_t bytes = 1 << 20;
    source.ReadBlock(block, bytes);
    EXPECT_EQ(source.OverrunCount(), 1u);
    ASSERT_EQ(bytes, 8820u);
    // The ring comes oldest first: consecutive samples all the way.
    const auto* samples = static_cast<const std::int16_t*>(block);
    for (std::uint32_t i = 1; i < bytes / 2; ++i)
        ASSERT_EQ(samples[i], FakeSample(std::uint64_t(samples[0] + i))) << i;
    // And the next take continues right after it.
    const std::int16_t last = samples[bytes / 2 - 1];
    bytes = 1 << 20;
    source.ReadBlock(block, bytes);
    EXPECT_EQ(static_cast<const std::int16_t*>(block)[0], FakeSample(std::uint64_t(last) + 1));
    EXPECT_EQ(source.OverrunCount(), 1u);
    // A device that cannot count its losses is judged by the clock: the whole rings that went by.
    EXPECT_EQ(source.LostFrames() % 4410, 0);
    EXPECT_GE(source.LostFrames(), 3 * 4410);
    EXPECT_LE(source.LostFrames(), 4 * 4410);
    source.Close();
    const std::int64_t lost = source.LostFrames();
    EXPECT_GT(lost, 0); // the last pass's, after its close

    EXPECT_TRUE(audio::test::PumpUntil([&] { return delivered.load() == 1; }));
    EXPECT_EQ(sender.load(), &source);
    audio::ReleaseEventThread();
}

// A server whose first bytes arrive later than a ring's time after the start has lost nothing:
// the recording begins with the first captured sample, not with a ring of stale bytes.
TEST(CaptureSource, AStreamThatStartsLateIsNoOverrun) {
    FakeSoundSystem system;
    system.state.startDelay = 180ms;
    TDSAudioIn source(system);
    UseExamFormat(source);
    source.Open();
    std::vector<std::int16_t> captured;
    while (captured.size() < 22050) {
        const void* block = nullptr;
        std::uint32_t bytes = 1 << 20;
        source.ReadBlock(block, bytes);
        const auto* samples = static_cast<const std::int16_t*>(block);
        captured.insert(captured.end(), samples, samples + bytes / 2);
    }
    source.Close();
    EXPECT_EQ(source.OverrunCount(), 0u);
    for (std::size_t i = 0; i < captured.size(); ++i)
        ASSERT_EQ(captured[i], FakeSample(i)) << i;
}

TEST(CaptureSource, OverrunRuleToleratesHalfARingOfJitter) {
    // Waiting bytes, bytes the clock says were produced, ring size.
    EXPECT_FALSE(audio::OverrunRecognised(4410, 4410, 8820));
    EXPECT_FALSE(audio::OverrunRecognised(100, 4400, 8820));  // delivery lagged behind the clock
    EXPECT_FALSE(audio::OverrunRecognised(8000, 3000, 8820)); // delivery ran ahead
    EXPECT_TRUE(audio::OverrunRecognised(4410, 4410 + 8820, 8820));
    EXPECT_TRUE(audio::OverrunRecognised(0, 8820 * 3, 8820));
    EXPECT_TRUE(audio::OverrunRecognised(4000, 4000 + 4500, 8820)); // over half a ring late
    EXPECT_FALSE(audio::OverrunRecognised(1000, 1e9, 0));
}

TEST(CaptureSource, OpenFailures) {
    FakeSoundSystem system;
    system.state.devices = {"default", "second"};
    TDSAudioIn source(system);
    UseExamFormat(source);
    ASSERT_EQ(source.Devices().Count, 2);
    for (int device : {-1, 2}) {
        source.SetDeviceNumber(device);
        EXPECT_EQ(OpenFailure(source), "Invalid device number");
        EXPECT_TRUE(source.EndOfData());
    }
    source.SetDeviceNumber(1);
    source.Open();
    EXPECT_EQ(OpenFailure(source), "The component is busy");
    const void* block = nullptr;
    std::uint32_t bytes = 10;
    source.ReadBlock(block, bytes); // capture goes on undisturbed
    EXPECT_EQ(bytes, 10u);
    source.Close();
    EXPECT_EQ(system.state.liveObjects, 0);

    EXPECT_THROW(
        {
            try {
                source.ReadBlock(block, bytes);
            } catch (const EAudioException& e) {
                EXPECT_STREQ(e.what(), "The Stream is not opened");
                throw;
            }
        },
        EAudioException);
}

TEST(CaptureSource, NoDevicesMeansInvalidDeviceNumber) {
    FakeSoundSystem system;
    system.state.devices.clear();
    TDSAudioIn source(system);
    EXPECT_EQ(OpenFailure(source), "Invalid device number");
}

TEST(CaptureSource, DeviceFailuresNameTheResultAndReleaseEverything) {
    const std::pair<platform::SoundResult, const char*> names[] = {
        {platform::DSERR_UNSUPPORTED, "DSERR_UNSUPPORTED"},
        {platform::DSERR_GENERIC, "DSERR_GENERIC"},
        {platform::DSERR_INVALIDPARAM, "DSERR_INVALIDPARAM"},
        {platform::DSERR_ALLOCATED, "DSERR_ALLOCATED"},
        {platform::DSERR_INVALIDCALL, "DSERR_INVALIDCALL"},
        {platform::DSERR_BADFORMAT, "DSERR_BADFORMAT"},
        {platform::DSERR_NODRIVER, "DSERR_NODRIVER"},
        {platform::DSERR_ALREADYINITIALIZED, "DSERR_ALREADYINITIALIZED"},
        {static_cast<platform::SoundResult>(0x88781234u), "Unknown"}};
    for (const auto& [result, name] : names) {
        FakeSoundSystem system;
        system.state.createDeviceResult = result;
        TDSAudioIn source(system);
        EXPECT_EQ(OpenFailure(source), std::string("Failed to create DirectSound device: ") + name);
        source.Close(); // what the chain does after a failed open
        EXPECT_FALSE(source.Busy());
    }
    FakeSoundSystem system;
    system.state.createBufferResult = platform::DSERR_BADFORMAT;
    TDSAudioIn source(system);
    EXPECT_EQ(OpenFailure(source), "Failed to create DirectSound buffer");
    EXPECT_EQ(system.state.liveObjects, 0);
    source.Close();
    // A later open succeeds once the device works.
    system.state.createBufferResult = platform::DS_OK;
    source.Open();
    source.Close();
}

TEST(CaptureSource, ReadFailureNamesTheResult) {
    FakeSoundSystem system;
    TDSAudioIn source(system);
    UseExamFormat(source);
    source.Open();
    system.state.positionResult = platform::DSERR_NODRIVER;
    const void* block = nullptr;
    std::uint32_t bytes = 100;
    try {
        source.ReadBlock(block, bytes);
        ADD_FAILURE() << "no failure";
    } catch (const EAudioException& e) {
        EXPECT_STREQ(e.what(), "Input failed: DirectSound error 0x88780078");
    }
    source.Close();
}

TEST(CaptureSource, ADeviceThatDeliversNothingFailsTheReadInsteadOfHangingIt) {
    FakeSoundSystem system;
    TDSAudioIn source(system);
    UseExamFormat(source);
    source.Open();
    const void* block = nullptr;
    std::uint32_t bytes = 1 << 20;
    source.ReadBlock(block, bytes);
    system.state.stalled = true;
    const auto start = std::chrono::steady_clock::now();
    try {
        for (;;) { // the rest of the last take, then the stall
            bytes = 1 << 20;
            source.ReadBlock(block, bytes);
        }
    } catch (const EAudioException& e) {
        EXPECT_STREQ(e.what(), "Input failed: DirectSound error 0x80004005");
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, TDSAudioIn::StalledDeviceLimit);
    // Everything since the device last delivered is sound this pass never got.
    EXPECT_GE(source.LostFrames(), 5 * 44100);
    EXPECT_LT(source.LostFrames(), 6 * 44100);
    source.Close();
}

// Reads `frames` samples of the running pass.
std::vector<std::int16_t> ReadFrames(TDSAudioIn& source, std::size_t frames) {
    std::vector<std::int16_t> samples;
    while (samples.size() < frames) {
        const void* block = nullptr;
        auto bytes = static_cast<std::uint32_t>(2 * (frames - samples.size()));
        source.ReadBlock(block, bytes);
        const auto* from = static_cast<const std::int16_t*>(block);
        samples.insert(samples.end(), from, from + bytes / 2);
    }
    return samples;
}

// The next pass takes up a kept capture at the frame after the last one delivered (including what
// the last pass left unread in its window), with a position of its own; a kept capture left
// longer than its ring goes on from the next pass's opening, losing nothing of that pass, and a
// release ends it.
TEST(CaptureSource, AKeptCaptureGoesOnWithTheNextFrameInTheNextPass) {
    FakeSoundSystem system;
    TDSAudioIn source(system);
    UseExamFormat(source);
    source.SetKeepCapture(true);
    source.Open();
    const std::vector<std::int16_t> first = ReadFrames(source, 3000);
    source.Close();
    EXPECT_TRUE(source.CaptureKept());
    EXPECT_EQ(system.state.liveObjects, 2); // the device and its ring, still running
    std::this_thread::sleep_for(30ms);

    source.Open();
    EXPECT_EQ(source.Position(), 0);
    const std::vector<std::int16_t> second = ReadFrames(source, 6000);
    for (std::size_t i = 0; i < second.size(); ++i)
        ASSERT_EQ(second[i], FakeSample(first.size() + i)) << i;
    EXPECT_EQ(source.LostFrames(), 0);
    source.Close();

    std::this_thread::sleep_for(250ms); // more than the 100 ms ring
    source.Open();
    const std::int16_t resumed = ReadFrames(source, 10)[0];
    EXPECT_NE(resumed, FakeSample(first.size() + second.size())); // no join across the gap
    EXPECT_NE(resumed, FakeSample(0));                            // nor a new capture
    EXPECT_EQ(source.LostFrames(), 0);
    source.Close();
    EXPECT_EQ(system.state.liveObjects, 2);
    source.ReleaseCapture();
    EXPECT_FALSE(source.CaptureKept());
    EXPECT_EQ(system.state.liveObjects, 0);
}

// A capture opened ahead of any pass runs without a reader, however long; the pass that takes it
// up begins with the sound of its own opening, and what came before is no loss of it.
TEST(CaptureSource, ACaptureOpenedAheadIsTakenUpFromTheFirstPassOpening) {
    FakeSoundSystem system;
    TDSAudioIn source(system);
    UseExamFormat(source);
    const auto captureOpened = std::chrono::steady_clock::now();
    source.OpenCapture();
    EXPECT_TRUE(source.CaptureKept());
    EXPECT_EQ(system.state.liveObjects, 2);
    source.OpenCapture(); // once is enough
    EXPECT_EQ(system.state.liveObjects, 2);
    std::this_thread::sleep_for(250ms); // more than the 100 ms ring

    const auto opened = std::chrono::steady_clock::now();
    source.Open();
    const std::vector<std::int16_t> frames = ReadFrames(source, 2000);
    const double frameAtOpening =
        std::chrono::duration<double>(opened - captureOpened).count() * 44100;
    EXPECT_NEAR(double(frames[0]), frameAtOpening, 0.06 * 44100); // within a poll and a half
    for (std::size_t i = 1; i < frames.size(); ++i)
        ASSERT_EQ(frames[i], FakeSample(std::uint64_t(frames[0]) + i)) << i;
    EXPECT_EQ(source.LostFrames(), 0);
    source.Close();
    EXPECT_FALSE(source.CaptureKept());
    EXPECT_EQ(system.state.liveObjects, 0);
}

TEST(CaptureSource, WithoutKeepingAClosedPassReleasesTheDevice) {
    FakeSoundSystem system;
    TDSAudioIn source(system);
    UseExamFormat(source);
    source.Open();
    ReadFrames(source, 100);
    source.Close();
    EXPECT_FALSE(source.CaptureKept());
    EXPECT_EQ(system.state.liveObjects, 0);
}

TEST(CaptureSource, EchoThatCannotPlayIsSwitchedOffAndCaptureGoesOn) {
    FakeSoundSystem system; // its playback device always fails
    TDSAudioIn source(system);
    UseExamFormat(source);
    source.SetEchoRecording(true);
    source.Open();
    EXPECT_FALSE(source.EchoRecording());
    const void* block = nullptr;
    std::uint32_t bytes = 100;
    source.ReadBlock(block, bytes);
    EXPECT_EQ(bytes, 100u);
    source.Close();
}

TEST(CaptureSource, ListsAtMostSixteenDevicesWithDescriptionsCut) {
    FakeSoundSystem system;
    system.state.devices.assign(17, std::string(200, 'x'));
    TDSAudioIn source(system);
    EXPECT_EQ(source.Devices().Count, 16);
    EXPECT_EQ(std::string(source.Devices().Devices[3].Description.data()).size(), 127u);
    EXPECT_EQ(source.Devices().Devices[0].Id, platform::DefaultSoundDevice);
    EXPECT_NE(source.Devices().Devices[1].Id, platform::DefaultSoundDevice);
}

} // namespace
