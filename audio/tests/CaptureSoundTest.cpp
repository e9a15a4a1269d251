// The capture source and the gain indicator on the real sound server of the test command.
#include "audio/AudioCapture.h"
#include "audio/AudioException.h"
#include "audio/AudioIndicators.h"
#include "audio/EventHandler.h"
#include "audio/GainAnalysis.h"
#include "audio/tests/GuiPump.h"
#include "audio/tests/NullOutput.h"
#include "platform/GuiHandover.h"
#include "platform/testing/ScopedEnvironmentVariable.h"
#include "platform/testing/TestSoundServer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;
using audio::TDSAudioIn;
using audio::test::PumpFor;
using audio::test::PumpUntil;

void UseExamSettings(TDSAudioIn& source) {
    source.SetInBitsPerSample(16);
    source.SetInChannels(1);
    source.SetInSampleRate(44100);
    source.SetLatency(100);
}

TEST(CaptureSound, CapturesTheSineInRealTime) {
    REQUIRE_TEST_SOUND_SERVER();
    auto source = audio::MakeComponent<TDSAudioIn>();
    UseExamSettings(*source);
    auto output = audio::MakeComponent<audio::test::NullOutput>();
    output->keepSamples = true;
    output->SetInput(source.get());
    output->Run();
    ASSERT_TRUE(PumpUntil([&] { return output->bytes > 0; }, 5s));
    PumpFor(300ms); // the stream settles
    const std::int64_t before = output->bytes;
    const auto start = std::chrono::steady_clock::now();
    PumpFor(2000ms);
    const std::int64_t after = output->bytes;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    output->Stop(false);
    EXPECT_EQ(output->ExceptionText(), "");
    EXPECT_NEAR(double(after - before) / seconds, 88200.0, 88200 * 0.05);
    EXPECT_EQ(source->OverrunCount(), 0u);

    // A 440 Hz sine at half the full amplitude: peak, level and zero crossings.
    const auto& samples = output->samples;
    ASSERT_GT(samples.size(), 44100u);
    const std::size_t from = samples.size() - 44100;
    double sum = 0;
    int peak = 0, crossings = 0;
    for (std::size_t i = from; i < samples.size(); ++i) {
        sum += double(samples[i]) * samples[i];
        peak = std::max(peak, std::abs(int(samples[i])));
        if (i > from && (samples[i - 1] < 0) != (samples[i] < 0))
            ++crossings;
    }
    EXPECT_NEAR(peak, 16384, 16384 * 0.05);
    EXPECT_NEAR(std::sqrt(sum / 44100), 16384 / std::sqrt(2.0), 16384 * 0.05);
    EXPECT_NEAR(crossings, 880, 10);
}

TEST(CaptureSound, AReaderHeldUpLongerThanARingOverruns) {
    REQUIRE_TEST_SOUND_SERVER();
    audio::AcquireEventThread();
    {
        TDSAudioIn source;
        UseExamSettings(source);
        int delivered = 0;
        source.OnOverrun = [&](audio::TComponent*) { ++delivered; };
        source.Open();
        const void* block = nullptr;
        for (int i = 0; i < 6; ++i) {
            std::uint32_t bytes = 1 << 20;
            source.ReadBlock(block, bytes);
        }
        EXPECT_EQ(source.OverrunCount(), 0u);
        std::this_thread::sleep_for(400ms);
        std::uint32_t bytes = 1 << 20;
        source.ReadBlock(block, bytes);
        EXPECT_EQ(source.OverrunCount(), 1u);
        EXPECT_EQ(bytes, 8820u);
        source.Close();
        EXPECT_TRUE(PumpUntil([&] { return delivered == 1; }));
    }
    audio::ReleaseEventThread();
}

TEST(CaptureSound, EchoPlaysOnTheDefaultOutputWhileCapturing) {
    REQUIRE_TEST_SOUND_SERVER();
    TDSAudioIn source;
    UseExamSettings(source);
    source.SetEchoRecording(true);
    source.Open();
    EXPECT_TRUE(source.EchoRecording());
    std::int64_t total = 0;
    const auto end = std::chrono::steady_clock::now() + 1s;
    while (std::chrono::steady_clock::now() < end) {
        const void* block = nullptr;
        std::uint32_t bytes = 1 << 20;
        source.ReadBlock(block, bytes);
        total += bytes;
        source.SetEchoRecording(total < 40000); // muted half-way: silence is played instead
    }
    EXPECT_NEAR(double(total), 88200.0, 88200 * 0.2);
    EXPECT_EQ(source.OverrunCount(), 0u);
    source.Close();
}

// 32 minus the title gain of one interval of the server's sine, as the analysis gives it.
double ExpectedSineValue() {
    std::vector<double> samples(4410);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::round(16384 * std::sin(2 * std::numbers::pi * 440 * double(i) / 44100));
    const audio::TGainEntryPoints& gain = audio::GainLibrary().Require();
    std::lock_guard guard(audio::GainAnalysisLock());
    gain.InitGainAnalysis(44100);
    gain.AnalyzeSamples(samples.data(), samples.data(), 4410, 2);
    return 32.0 - gain.GetTitleGain();
}

TEST(CaptureSound, GainIndicatorReportsEveryIntervalOnTheGuiThread) {
    REQUIRE_TEST_SOUND_SERVER();
    auto source = audio::MakeComponent<TDSAudioIn>();
    UseExamSettings(*source);
    auto indicator = audio::MakeComponent<audio::TGainIndicator>();
    indicator->SetInput(source.get());
    auto output = audio::MakeComponent<audio::test::NullOutput>();
    output->SetInput(indicator.get());
    std::vector<double> values;
    bool offGuiThread = false;
    indicator->OnGainData = [&](audio::TComponent* sender) {
        offGuiThread = offGuiThread || !platform::IsGuiThread();
        values.push_back(static_cast<audio::TGainIndicator*>(sender)->GainValue());
    };
    output->Run();
    ASSERT_TRUE(PumpUntil([&] { return values.size() >= 3; }, 5s));
    const std::size_t first = values.size();
    PumpFor(2000ms);
    const std::size_t reports = values.size() - first;
    output->Stop(false);
    EXPECT_TRUE(PumpUntil([&] { return !values.empty() && values.back() == 0.0; }));
    EXPECT_FALSE(offGuiThread);
    EXPECT_NEAR(double(reports), 20.0, 2.0);
    const double expected = ExpectedSineValue();
    // A handler reads the indicator's value when it runs: reports still queued at the stop read
    // the stop's 0, so only those handled while the chain ran are compared.
    for (std::size_t i = 1; i < first + reports; ++i)
        EXPECT_NEAR(values[i], expected, 0.5) << "report " << i;
    EXPECT_EQ(values.back(), 0.0);
    EXPECT_EQ(indicator->GainValue(), 0.0);
}

TEST(CaptureSound, UnreachableServerMeansNoDevices) {
    std::optional<platform::testing::ScopedEnvironmentVariable> nowhere;
    nowhere.emplace("PULSE_SERVER", "unix:/nonexistent/station-no-server");
    TDSAudioIn source;
    nowhere.reset();
    EXPECT_EQ(source.Devices().Count, 0);
    try {
        source.Open();
        ADD_FAILURE() << "opened without a server";
    } catch (const audio::EAudioException& e) {
        EXPECT_STREQ(e.what(), "Invalid device number");
    }
}

} // namespace
