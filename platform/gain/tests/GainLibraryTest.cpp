#include "platform/GainLibrary.h"
#include "platform/RuntimeLibrary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

// Every entry point, looked up the way the indicator looks up the ones it calls.
struct GainEntries {
    InitGainAnalysisFunc init = nullptr;
    AnalyzeSamplesFunc analyze = nullptr;
    ResetSampleFrequencyFunc reset = nullptr;
    GetTitleGainFunc title = nullptr;
    GetAlbumGainFunc album = nullptr;
};

void BindAll(platform::EntryPointBinder& b, GainEntries& e) {
    b.Called(e.init, "InitGainAnalysis");
    b.Called(e.analyze, "AnalyzeSamples");
    b.Called(e.reset, "ResetSampleFrequency");
    b.Called(e.title, "GetTitleGain");
    b.Called(e.album, "GetAlbumGain");
}

class GainLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        static platform::RuntimeLibrary<GainEntries> library(GAIN_LIBRARY_FILE_NAME, &BindAll);
        ASSERT_TRUE(library.Load()) << library.LoadError();
        entries = library.Get();
    }

    // `seconds` of a sine of `hz` with the given peak, in the 16-bit range.
    static std::vector<double> Sine(double peak, double seconds = 1, double hz = 440,
                                    int rate = 44100) {
        std::vector<double> samples(static_cast<std::size_t>(seconds * rate));
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = peak * std::sin(2 * std::numbers::pi * hz * double(i) / rate);
        return samples;
    }

    GainEntries entries{};
};

TEST_F(GainLibraryTest, ExportsAllFiveEntryPoints) {
    EXPECT_NE(entries.init, nullptr);
    EXPECT_NE(entries.analyze, nullptr);
    EXPECT_NE(entries.reset, nullptr);
    EXPECT_NE(entries.title, nullptr);
    EXPECT_NE(entries.album, nullptr);
}

TEST_F(GainLibraryTest, AcceptsTheCaptureRateAndRefusesAnOddOne) {
    EXPECT_EQ(entries.init(44100), 1);
    EXPECT_EQ(entries.init(12345), 0);
    // A refused rate leaves no analysis behind to feed.
    const auto samples = Sine(1000);
    EXPECT_EQ(entries.analyze(samples.data(), samples.data(), int32_t(samples.size()), 2), 0);
    EXPECT_EQ(entries.reset(48000), 1);
}

// Known signals and their gain: -18 LUFS minus the BS.1770 loudness, for which a 997 Hz sine of
// one channel reads its level in dBFS minus 3.01 dB. Within 0.1 dB.
TEST_F(GainLibraryTest, KnownSignalsGiveTheirGain) {
    struct Case {
        const char* name;
        double peak;
        double gain;
    };
    const Case cases[] = {
        {"-20 dBFS sine", 32768 * 0.1, -18 + 23.01},
        {"full-scale sine", 32767, -18 + 3.01},
        // Below the absolute gate silence has no loudness; it reads as -70 LUFS.
        {"silence", 0, -18 + 70},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(entries.init(44100), 1);
        const auto samples = Sine(c.peak, 2, 997);
        ASSERT_NE(entries.analyze(samples.data(), samples.data(), int32_t(samples.size()), 2), 0);
        EXPECT_NEAR(entries.title(), c.gain, 0.1);
        EXPECT_NEAR(entries.album(), c.gain, 0.1);
    }
}

TEST_F(GainLibraryTest, TitleGainFollowsLoudnessAndCoversOnlyAudioSinceThePreviousCall) {
    ASSERT_EQ(entries.init(44100), 1);
    const auto loud = Sine(16384);
    const auto quiet = Sine(8192);
    ASSERT_NE(entries.analyze(loud.data(), loud.data(), int32_t(loud.size()), 2), 0);
    const double loudGain = entries.title();
    ASSERT_NE(entries.analyze(quiet.data(), quiet.data(), int32_t(quiet.size()), 2), 0);
    const double quietGain = entries.title();
    // Half the amplitude needs about 6 dB more gain.
    EXPECT_NEAR(quietGain - loudGain, 20 * std::log10(2.0), 0.2);
    // A mono call with one buffer measures the same as both channels equal.
    ASSERT_NE(entries.analyze(quiet.data(), nullptr, int32_t(quiet.size()), 1), 0);
    EXPECT_NEAR(entries.title(), quietGain, 0.05);
    // Two channels are measured as their mix: one silent channel halves the amplitude.
    const std::vector<double> silence(loud.size(), 0.0);
    ASSERT_NE(entries.analyze(loud.data(), silence.data(), int32_t(loud.size()), 2), 0);
    EXPECT_NEAR(entries.title(), quietGain, 0.05);
}

TEST_F(GainLibraryTest, TheMeterSeesAWordWithinTheMomentaryWindow) {
    ASSERT_EQ(entries.init(44100), 1);
    const std::vector<double> silence(44100, 0.0);
    ASSERT_NE(entries.analyze(silence.data(), silence.data(), 44100, 2), 0);
    EXPECT_NEAR(entries.title(), 52.0, 1e-9);
    // The meter asks every 100 ms: 100 ms of sound after silence already moves it, and 400 ms
    // of it read the tone's full loudness.
    const auto tone = Sine(32768 * 0.1, 0.1, 997);
    ASSERT_NE(entries.analyze(tone.data(), tone.data(), int32_t(tone.size()), 2), 0);
    const double first = entries.title();
    EXPECT_LT(first, 20.0);
    EXPECT_GT(first, 5.01 + 3);
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(entries.analyze(tone.data(), tone.data(), int32_t(tone.size()), 2), 0);
    EXPECT_NEAR(entries.title(), 5.01, 0.2);
}

TEST_F(GainLibraryTest, TooLittleAudioGivesTheMarker) {
    ASSERT_EQ(entries.init(44100), 1);
    EXPECT_EQ(entries.title(), GAIN_NOT_ENOUGH_SAMPLES);
    EXPECT_EQ(entries.album(), -18.0 + 70.0);
}

TEST_F(GainLibraryTest, RefusesInvalidArguments) {
    ASSERT_EQ(entries.init(44100), 1);
    const auto samples = Sine(1000);
    EXPECT_EQ(entries.analyze(samples.data(), nullptr, 100, 2), 0);
    EXPECT_EQ(entries.analyze(samples.data(), samples.data(), -1, 2), 0);
    EXPECT_EQ(entries.analyze(samples.data(), samples.data(), 100, 3), 0);
    EXPECT_NE(entries.analyze(samples.data(), samples.data(), 0, 2), 0);
}

} // namespace
