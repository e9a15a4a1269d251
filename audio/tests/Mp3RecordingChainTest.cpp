// The exam page's whole chain on the test sound server: capture -> gain indicator -> MP3 output,
// recorded for three seconds and stopped synchronously, as "Следующий участник" does.
#include "audio/AudioCapture.h"
#include "audio/AudioIndicators.h"
#include "audio/tests/Mp3TestSupport.h"
#include "platform/lame_enc/tests/Mp3TestTools.h"
#include "testsupport/SlowFileSystem.h"
#include "testsupport/TemporaryFolder.h"
#include "testsupport/TestSoundServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace {

// Rising zero crossings per second of one channel.
double DominantFrequency(const std::vector<std::int16_t>& samples, long rate) {
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        if (samples[i - 1] < 0 && samples[i] >= 0)
            ++crossings;
    return crossings * static_cast<double>(rate) / static_cast<double>(samples.size());
}

TEST(Mp3RecordingChain, ThreeSecondsFromTheSoundServerThenASynchronousStop) {
    REQUIRE_TEST_SOUND_SERVER();
    testsupport::TemporaryFolder folder;
    auto capture = audio::MakeComponent<audio::TDSAudioIn>();
    capture->SetInBitsPerSample(16);
    capture->SetInChannels(1);
    capture->SetInSampleRate(44100);
    capture->SetLatency(100);
    capture->SetFramesInBuffer(12000);
    capture->SetPollingInterval(100);
    auto indicator = audio::MakeComponent<audio::TGainIndicator>();
    indicator->SetInterval(100);
    indicator->SetInput(capture.get());
    std::atomic<int> gainReports{0};
    double loudest = 0;
    indicator->OnGainData = [&](audio::TComponent* sender) {
        ++gainReports;
        loudest = std::max(loudest, static_cast<audio::TGainIndicator*>(sender)->GainValue());
    };
    auto output = audio::MakeComponent<audio::TMP3Out>();
    mp3test::UseExamSettings(*output);
    output->SetInput(indicator.get());
    mp3test::OutputEvents events(*output);
    const std::string path = folder / "1.mp3";
    output->SetFileName(path);

    output->Run();
    const auto stopAt = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    mp3test::PumpUntil([&] { return std::chrono::steady_clock::now() >= stopAt; }, 10);
    output->Stop(false);

    EXPECT_EQ(events.SyncDone, 1);
    EXPECT_FALSE(output->Busy());
    EXPECT_TRUE(events.Failures.empty()) << events.Failures.front();
    EXPECT_GT(gainReports, 10);
    EXPECT_GT(loudest, 0.0);
    // No done event follows a synchronous stop.
    mp3test::PumpUntil([] { return false; }, 0.3);
    EXPECT_EQ(events.Done, 0);

    const auto bytes = mp3test::ReadFileBytes(path);
    const auto scan = mp3test::ScanFrames(bytes);
    EXPECT_EQ(scan.endOffset, bytes.size());
    for (const auto& frame : scan.frames) {
        ASSERT_EQ(frame.mpegVersion, 1);
        ASSERT_EQ(frame.sampleRate, 44100);
        ASSERT_EQ(frame.channelMode, 3);
        ASSERT_EQ(frame.bitrateKbps, 128);
        ASSERT_TRUE(frame.crcProtected);
    }
    const auto decoded = mp3test::DecodeFile(path);
    const double seconds = static_cast<double>(decoded.samples.size()) / 44100;
    EXPECT_NEAR(seconds, 3.0, 0.4);
    // The server's source plays a 440 Hz tone; the encoder's delay at the start is near silence.
    ASSERT_GT(decoded.samples.size(), 44100u);
    const std::vector<std::int16_t> middle(decoded.samples.begin() + 8820,
                                           decoded.samples.end() - 8820);
    EXPECT_NEAR(DominantFrequency(middle, decoded.sampleRate), 440, 5)
        << "overruns " << capture->OverrunCount();
}

// A disk that takes 200 ms for every write and half a second for every sync (a USB stick, a
// network home): the capture ring rides out the waits and the file gets every second of sound
// from the first one captured to the stop, with nothing lost. Before the ring held 20 s and the
// file was written in blocks, such a disk kept well under half of the sound, silently.
TEST(Mp3RecordingChain, ASlowDiskLosesNothing) {
    REQUIRE_TEST_SOUND_SERVER();
    using namespace std::chrono_literals;
    testsupport::SlowFileSystem disk(200ms, 500ms);
    if (!disk.Mounted())
        GTEST_SKIP() << disk.SkipReason();
    auto capture = audio::MakeComponent<audio::TDSAudioIn>();
    capture->SetInBitsPerSample(16);
    capture->SetInChannels(1);
    capture->SetInSampleRate(44100);
    capture->SetLatency(0);
    capture->SetFramesInBuffer(20 * 44100);
    capture->SetPollingInterval(50);
    auto output = audio::MakeComponent<audio::TMP3Out>();
    mp3test::UseExamSettings(*output);
    output->SetInput(capture.get());
    mp3test::OutputEvents events(*output);
    const std::string path = disk.Folder() + "/1.mp3";
    output->SetFileName(path);

    output->Run();
    // Measured from the first sound: a server may take a moment to deliver it.
    ASSERT_TRUE(mp3test::PumpUntil([&] { return capture->Position() > 0; }, 5));
    const auto first = std::chrono::steady_clock::now();
    mp3test::PumpUntil([&] { return std::chrono::steady_clock::now() >= first + 6s; }, 10);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - first).count();
    output->Stop(false);

    EXPECT_TRUE(events.Failures.empty()) << events.Failures.front();
    EXPECT_EQ(capture->LostFrames(), 0);
    const double captured = double(capture->Position()) / (2 * 44100);
    EXPECT_GE(captured, elapsed - 0.1);
    const auto decoded = mp3test::DecodeFile(path);
    EXPECT_NEAR(double(decoded.samples.size()) - mp3test::LameDelaySamples, captured * 44100,
                1152 * 2);
}

} // namespace
