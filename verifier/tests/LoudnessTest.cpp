// The loudness figures of signals whose loudness is known, the warnings drawn from them, and the
// same figures measured through a whole archive.
#include "verifier/Loudness.h"
#include "verifier/ArchiveCheck.h"
#include "verifier/LoudnessWarnings.h"
#include "verifier/tests/InterviewFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace interview_check {
namespace {

constexpr long Rate = 44100;
constexpr double Pi = 3.14159265358979323846;

// A 1 kHz sine of `amplitude` (full scale 1.0) cut off at `limit`.
std::vector<float> Sine(double seconds, double amplitude, double limit = 1.0) {
    std::vector<float> samples(static_cast<std::size_t>(seconds * Rate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(std::clamp(
            amplitude * std::sin(2 * Pi * 1000.0 * static_cast<double>(i) / Rate), -limit, limit));
    return samples;
}

// Fed in pieces of an MP3 frame, as the decoder hands them on.
LoudnessFacts Measure(const std::vector<float>& samples) {
    LoudnessMeter meter;
    for (std::size_t at = 0; at < samples.size(); at += 1152)
        meter.Take(samples.data() + at, std::min<std::size_t>(1152, samples.size() - at), 1, Rate);
    return meter.Finish();
}

// BS.1770 weighs a single channel by 1 and its K-filter is offset by -0.691 dB so that it is
// neutral at 1 kHz: the loudness of a 1 kHz sine is its mean square in dB minus nothing, i.e.
// 10 log10(A^2 / 2). A sine at -20 dBFS (A = 0.1) reads 10 log10(0.005) = -23.0 LUFS; a mono file
// is not counted twice as a dual-mono one would be.
TEST(LoudnessMeterTest, ASineAtMinus20DbfsReadsMinus23Lufs) {
    const LoudnessFacts facts = Measure(Sine(40, 0.1));
    ASSERT_TRUE(facts.integratedLufs);
    EXPECT_NEAR(*facts.integratedLufs, -23.0, 0.5);
    EXPECT_NEAR(facts.rangeLu, 0.0, 0.1);
    ASSERT_TRUE(facts.samplePeakDbfs);
    EXPECT_NEAR(*facts.samplePeakDbfs, -20.0, 0.05);
    EXPECT_EQ(facts.SilentShare(), 0.0);
    EXPECT_EQ(facts.clippedSamples, 0u);
    EXPECT_NEAR(facts.seconds, 40.0, 1e-6);
    // One figure per 100 ms from the first whole 400 ms window: 400 - 3.
    EXPECT_EQ(facts.momentary.size(), 397u);
}

TEST(LoudnessMeterTest, SilenceHasNoLoudnessAndNoPeak) {
    const LoudnessFacts facts = Measure(std::vector<float>(40 * Rate, 0.0f));
    EXPECT_FALSE(facts.integratedLufs);
    EXPECT_FALSE(facts.samplePeakDbfs);
    EXPECT_EQ(facts.SilentShare(), 1.0);
    EXPECT_EQ(facts.ClippedShare(), 0.0);
}

// A sine driven to twice full scale and cut off there: |2 sin x| >= ClipLevel for a share of
// 1 - (2/pi) asin(ClipLevel / 2) of its samples, 0.670.
TEST(LoudnessMeterTest, AClippedSineCountsItsSamplesOnTheLimit) {
    const LoudnessFacts facts = Measure(Sine(10, 2.0));
    const double expected = 1 - 2 / Pi * std::asin(ClipLevel / 2.0);
    EXPECT_NEAR(facts.ClippedShare(), expected, 0.005);
    EXPECT_EQ(facts.samples, static_cast<std::uint64_t>(10 * Rate));
    ASSERT_TRUE(facts.samplePeakDbfs);
    EXPECT_NEAR(*facts.samplePeakDbfs, 0.0, 0.01);
}

// A pause inside an answer is silent for as long as it lasts, less the window's reach.
TEST(LoudnessMeterTest, APauseCountsForItsShareOfTime) {
    std::vector<float> samples = Sine(10, 0.1);
    samples.resize(samples.size() + 20 * Rate, 0.0f);
    const std::vector<float> tail = Sine(10, 0.1);
    samples.insert(samples.end(), tail.begin(), tail.end());
    const LoudnessFacts facts = Measure(samples);
    // 20 s of 39.7 s of windows, less the 0.3 s a window still overlaps the tone.
    EXPECT_NEAR(facts.SilentShare(), 19.7 / 39.7, 0.01);
    ASSERT_TRUE(facts.integratedLufs);
    EXPECT_NEAR(*facts.integratedLufs, -23.0, 0.5); // the gate leaves the pause out
}

TEST(LoudnessWarningsTest, EachLimitGivesItsText) {
    struct Case {
        double seconds;
        std::size_t silentSteps; // of 1000
        std::uint64_t clipped;   // of 1 000 000 samples
        std::vector<std::string> reasons;
    };
    const std::vector<Case> cases = {
        {120, 300, 0, {}},
        {120, 970, 0, {"запись почти беззвучна (тишина 97% времени)"}},
        {120, 899, 999, {}},
        {120, 0, 23000, {"перегрузка (2,3% отсчётов на пределе)"}},
        {29.9, 0, 0, {"запись короче 30 с"}},
        {10,
         1000,
         1000,
         {"запись почти беззвучна (тишина 100% времени)", "перегрузка (0,1% отсчётов на пределе)",
          "запись короче 30 с"}},
    };
    for (const Case& c : cases) {
        LoudnessFacts facts;
        facts.seconds = c.seconds;
        facts.momentary.assign(1000, -20.0f);
        std::fill_n(facts.momentary.begin(), c.silentSteps, -HUGE_VALF);
        facts.samples = 1000000;
        facts.clippedSamples = c.clipped;
        EXPECT_EQ(LoudnessWarnings(facts), c.reasons) << c.seconds << " s, " << c.silentSteps;
    }
}

// The whole path: the archive is read, the MP3 decoded as float and measured; only when asked.
TEST(ArchiveLoudnessTest, RecordingsAreMeasuredThroughTheArchiveWhenAsked) {
    testing::InterviewFixture interview(2);
    interview.PutRecording(
        1, testing::SoxRecording("sine-20dbfs", "-n", "synth 40 sine 1000 vol 0.1"));
    interview.PutRecording(2, testing::SoxRecording("silence", "-n", "trim 0 35"));
    interview.WriteReport({1, 2}, 2);
    const std::string zip = interview.Zip();

    EXPECT_FALSE(CheckArchive(zip).recordings.at(0).loudness);
    CheckOptions options;
    options.measureLoudness = true;
    const ArchiveVerdict verdict = CheckArchive(zip, options);
    ASSERT_TRUE(verdict.Sound()) << verdict.problems.front().reason;
    const auto& tone = verdict.recordings.at(0).loudness;
    ASSERT_TRUE(tone && tone->integratedLufs);
    EXPECT_NEAR(*tone->integratedLufs, -23.0, 0.5);
    EXPECT_LT(tone->SilentShare(), 0.02); // the encoder's delay at the start
    const auto& silence = verdict.recordings.at(1).loudness;
    ASSERT_TRUE(silence);
    EXPECT_FALSE(silence->integratedLufs);
    ASSERT_EQ(verdict.warnings.size(), 1u);
    EXPECT_EQ(verdict.warnings[0].entry, "2.mp3");
    EXPECT_EQ(verdict.warnings[0].reason, "запись почти беззвучна (тишина 100% времени)");
}

} // namespace
} // namespace interview_check
