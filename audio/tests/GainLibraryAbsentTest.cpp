// This program lies in a folder without libgain.so, so the indicator cannot load it.
#include "audio/AudioException.h"
#include "audio/AudioIndicators.h"

#include <gtest/gtest.h>

namespace {

class CountingSource : public audio::TAudioInput {
public:
    int opens = 0;
    std::uint32_t GetBitsPerSample() const override { return 16; }
    std::uint32_t GetChannels() const override { return 1; }
    std::uint32_t GetSampleRate() const override { return 44100; }

protected:
    void DoOpen() override { ++opens; }
    void DoClose() override {}
    void DoReadBlock(const void*&, std::uint32_t& Bytes) override { Bytes = 0; }
};

TEST(GainLibraryAbsent, OpenFailsWithoutOpeningTheInputAndTriesAgainLater) {
    CountingSource source;
    audio::TGainIndicator indicator;
    indicator.SetInput(&source);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            indicator.Open();
            FAIL() << "opened without the library";
        } catch (const audio::EAudioException& e) {
            EXPECT_STREQ(e.what(), "Could not load the libgain.so library.");
        }
    }
    EXPECT_EQ(source.opens, 0);
    EXPECT_TRUE(indicator.EndOfData());
}

} // namespace
