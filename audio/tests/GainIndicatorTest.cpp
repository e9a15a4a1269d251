#include "audio/AudioException.h"
#include "audio/AudioIndicators.h"
#include "audio/AudioProcs.h"
#include "audio/EventHandler.h"
#include "audio/GainAnalysis.h"
#include "audio/tests/GuiPump.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

namespace {

using audio::EAudioException;
using audio::TGainIndicator;

// A source of 16-bit blocks of a 440 Hz sine, `frames` per block, endless.
class SineSource : public audio::TAudioInput {
public:
    SineSource(std::uint32_t channels, std::uint32_t rate, std::uint32_t frames)
        : channels_(channels), rate_(rate), block_(frames * channels) {}
    std::uint32_t GetBitsPerSample() const override { return 16; }
    std::uint32_t GetChannels() const override { return channels_; }
    std::uint32_t GetSampleRate() const override { return rate_; }
    int closes = 0;
    // The first channel carries the sine, the others a quarter of it.
    std::vector<std::int16_t>& Block() { return block_; }

protected:
    void DoOpen() override {
        FBusy = true;
        FSize = -1;
        FPosition = 0;
    }
    void DoClose() override {
        ++closes;
        FBusy = false;
    }
    void DoReadBlock(const void*& Buffer, std::uint32_t& Bytes) override {
        for (std::size_t i = 0; i < block_.size(); ++i, ++n_) {
            const std::uint64_t frame = n_ / channels_;
            const double v = 16384 * std::sin(2 * std::numbers::pi * 440 * double(frame) / rate_);
            block_[i] = static_cast<std::int16_t>(n_ % channels_ == 0 ? v : v / 4);
        }
        Buffer = block_.data();
        Bytes = std::min<std::uint32_t>(Bytes, std::uint32_t(block_.size() * 2));
        FPosition = FPosition + Bytes;
    }

private:
    std::uint32_t channels_, rate_;
    std::vector<std::int16_t> block_;
    std::uint64_t n_ = 0;
};

class InspectedIndicator : public TGainIndicator {
public:
    using TGainIndicator::AnalysedA;
    using TGainIndicator::AnalysedB;
};

std::string OpenFailure(audio::TAudioInput& input) {
    try {
        input.Open();
    } catch (const EAudioException& e) {
        return e.what();
    }
    return "(opened)";
}

TEST(AudioProcs, ConversionTable) {
    float out[3];
    const std::uint8_t bytes8[] = {0, 128, 255};
    audio::Convert8ToFloat(bytes8, out, 3);
    EXPECT_EQ(out[0], -1.0f);
    EXPECT_EQ(out[1], 0.0f);
    EXPECT_EQ(out[2], 0.9921875f);
    const std::uint8_t bytes16[] = {0x00, 0x80, 0xFF, 0x7F, 0x01, 0x00};
    audio::Convert16ToFloat(bytes16, out, 3);
    EXPECT_EQ(out[0], -1.0f);
    EXPECT_EQ(out[1], float(32767.0 / 32768));
    EXPECT_EQ(out[2], float(1.0 / 32768));
    const std::uint8_t bytes24[] = {0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80, 0x80, 0x00, 0x00};
    audio::Convert24ToFloat(bytes24, out, 3);
    EXPECT_EQ(out[0], float(8388607.0 / 8388608));
    EXPECT_EQ(out[1], -1.0f);
    EXPECT_EQ(out[2], float(128.0 / 8388608));
    const std::uint8_t bytes32[] = {0, 0, 0, 0x80, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF};
    audio::Convert32ToFloat(bytes32, out, 3);
    EXPECT_EQ(out[0], -1.0f);
    EXPECT_EQ(out[1], float(2147483647.0 / 2147483648.0)); // rounds to 1.0 in single precision
    EXPECT_EQ(out[2], float(-1.0 / 2147483648.0));
}

TEST(GainIndicator, GainValueClamps) {
    const std::pair<double, double> cases[] = {{64.8, 0.0},    {32.0, 0.0},  {-10.0, 42.0},
                                               {-68.0, 100.0}, {-70.0, 0.0}, {-24601.0, 0.0}};
    for (const auto& [title, value] : cases)
        EXPECT_EQ(TGainIndicator::GainValueFromTitleGain(title), value) << title;
}

// The indicator's own thread plays the GUI thread here; the event thread delivers to it.
class GainIndicatorChain : public ::testing::Test {
protected:
    void SetUp() override { audio::AcquireEventThread(); }
    void TearDown() override { audio::ReleaseEventThread(); }

    // Reads `blocks` blocks through the indicator, counting the reports.
    static void ReadBlocks(TGainIndicator& indicator, int blocks) {
        for (int i = 0; i < blocks; ++i) {
            const void* block = nullptr;
            std::uint32_t bytes = 1 << 20;
            indicator.ReadBlock(block, bytes);
            ASSERT_GT(bytes, 0u);
        }
    }
};

TEST_F(GainIndicatorChain, ReportsEveryIntervalWithTheTitleGainAndOnceMoreAtClose) {
    SineSource source(1, 44100, 441); // 10 ms blocks
    TGainIndicator indicator;
    indicator.SetInput(&source);
    std::vector<double> reports;
    indicator.OnGainData = [&](audio::TComponent* sender) {
        reports.push_back(static_cast<TGainIndicator*>(sender)->GainValue());
    };
    indicator.Open();
    ReadBlocks(indicator, 30);
    ASSERT_TRUE(audio::test::PumpUntil([&] { return reports.size() == 3; }));
    // The figure is 32 minus the title gain of the same audio, measured here afresh.
    const audio::TGainEntryPoints& gain = audio::GainLibrary().Require();
    std::vector<double> samples(4410);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = double(
            std::int16_t(16384 * std::sin(2 * std::numbers::pi * 440 * double(i + 8820) / 44100)));
    {
        std::lock_guard guard(audio::GainAnalysisLock());
        ASSERT_EQ(gain.InitGainAnalysis(44100), 1);
        ASSERT_NE(gain.AnalyzeSamples(samples.data(), samples.data(), 4410, 2), 0);
        EXPECT_NEAR(reports[2], 32.0 - gain.GetTitleGain(), 0.02);
    }
    EXPECT_GT(reports[2], 30.0);
    indicator.Close();
    EXPECT_EQ(indicator.GainValue(), 0.0);
    ASSERT_TRUE(audio::test::PumpUntil([&] { return reports.size() == 4; }));
    EXPECT_EQ(reports[3], 0.0);
    EXPECT_EQ(source.closes, 1);
}

TEST_F(GainIndicatorChain, IntervalZeroReportsAfterEveryBlock) {
    SineSource source(1, 44100, 100);
    TGainIndicator indicator;
    indicator.SetInput(&source);
    indicator.SetInterval(0);
    int reports = 0;
    indicator.OnGainData = [&](audio::TComponent*) { ++reports; };
    indicator.Open();
    ReadBlocks(indicator, 5);
    EXPECT_TRUE(audio::test::PumpUntil([&] { return reports == 5; }));
    indicator.Close();
}

TEST(GainIndicator, StereoGoesSecondChannelFirstAndMonoToBoth) {
    SineSource stereo(2, 44100, 64);
    InspectedIndicator indicator;
    indicator.SetInput(&stereo);
    indicator.Open();
    const void* block = nullptr;
    std::uint32_t bytes = 1 << 20;
    indicator.ReadBlock(block, bytes);
    ASSERT_EQ(block, stereo.Block().data()); // handed through, not copied
    for (int i = 1; i < 64; ++i) {
        EXPECT_EQ(indicator.AnalysedB()[std::size_t(i)], stereo.Block()[std::size_t(2 * i)]);
        EXPECT_EQ(indicator.AnalysedA()[std::size_t(i)], stereo.Block()[std::size_t(2 * i + 1)]);
    }
    indicator.Close();

    SineSource mono(1, 44100, 64);
    indicator.SetInput(&mono);
    indicator.Open();
    bytes = 1 << 20;
    indicator.ReadBlock(block, bytes);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(indicator.AnalysedA()[std::size_t(i)], mono.Block()[std::size_t(i)]);
        EXPECT_EQ(indicator.AnalysedB()[std::size_t(i)], mono.Block()[std::size_t(i)]);
    }
    indicator.Close();
}

TEST(GainIndicator, OpenFailuresCloseTheInputAgain) {
    SineSource three(3, 44100, 10);
    TGainIndicator indicator;
    indicator.SetInput(&three);
    EXPECT_EQ(OpenFailure(indicator), "Only mono or stereo soures are supported.");
    EXPECT_EQ(three.closes, 1);
    EXPECT_FALSE(indicator.Busy());

    SineSource odd(1, 12345, 10);
    indicator.SetInput(&odd);
    EXPECT_EQ(OpenFailure(indicator),
              "Failed to set up gain analysis. Possible cause: sample rate 12345 is not "
              "supported.");
    EXPECT_EQ(odd.closes, 1);
    EXPECT_FALSE(odd.Busy());
}

// Two indicators on two workers share the one analysis; their calls must not overlap.
TEST(GainIndicator, TwoIndicatorsOnTwoThreads) {
    SineSource first(1, 44100, 441), second(2, 44100, 441);
    TGainIndicator a, b;
    a.SetInput(&first);
    b.SetInput(&second);
    auto pull = [](TGainIndicator& indicator) {
        indicator.Open();
        for (int i = 0; i < 200; ++i) {
            const void* block = nullptr;
            std::uint32_t bytes = 1 << 20;
            indicator.ReadBlock(block, bytes);
        }
        indicator.Close();
    };
    std::thread one(pull, std::ref(a)), two(pull, std::ref(b));
    one.join();
    two.join();
    EXPECT_EQ(a.GainValue(), 0.0);
}

} // namespace
