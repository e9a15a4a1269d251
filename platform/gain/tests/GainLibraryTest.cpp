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

    // One second of a 440 Hz sine with the given peak, in the 16-bit range.
    static std::vector<double> Sine(double peak, int rate = 44100) {
        std::vector<double> samples(static_cast<std::size_t>(rate));
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = peak * std::sin(2 * std::numbers::pi * 440 * double(i) / rate);
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
    EXPECT_EQ(entries.reset(48000), 1);
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
    // The album figure follows the loudest part of everything analysed.
    EXPECT_NEAR(entries.album(), loudGain, 0.05);
}

TEST_F(GainLibraryTest, SilenceGivesTheCalibrationGainAndTooLittleAudioTheMarker) {
    ASSERT_EQ(entries.init(44100), 1);
    EXPECT_EQ(entries.title(), -24601.0);
    const std::vector<double> silence(44100, 0.0);
    ASSERT_NE(entries.analyze(silence.data(), silence.data(), int32_t(silence.size()), 2), 0);
    EXPECT_NEAR(entries.title(), 64.82, 1e-9);
}

TEST_F(GainLibraryTest, HalfScaleSineNeedsNegativeGain) {
    ASSERT_EQ(entries.init(44100), 1);
    const auto samples = Sine(16384);
    ASSERT_NE(entries.analyze(samples.data(), samples.data(), int32_t(samples.size()), 2), 0);
    // A loud tone is above the 89 dB reference, so the recommended change is a cut.
    EXPECT_NEAR(entries.title(), -8.79, 0.05);
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
