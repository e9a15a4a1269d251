// A recording on a machine without TagLib: the file is left exactly as the output wrote it,
// ending with its ID3v1 block.
#include "audio/taglib.h"
#include "audio/tests/Mp3TestSupport.h"
#include "platform/lame_enc/tests/Mp3TestTools.h"

#include <gtest/gtest.h>

namespace {

class WithoutTagLibrary : public ::testing::Environment {
public:
    void SetUp() override { audio::SetTagLibraryFileNameForTests("libtag_c_absent.so.0"); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new WithoutTagLibrary);

TEST(Mp3WithoutTagLib, ThreeSecondRecordingEndsWithAnEmptyId3v1Block) {
    constexpr int Rate = 44100;
    constexpr int ThreeSeconds = 3 * Rate;
    mp3test::TempFolder folder;
    const auto samples = mp3test::Sine(440, 0.5, Rate, ThreeSeconds);
    auto source = audio::MakeComponent<mp3test::TMemorySource>(samples, 1, Rate);
    auto output = audio::MakeComponent<audio::TMP3Out>();
    mp3test::OutputEvents events(*output);
    EXPECT_FALSE(audio::TagLibraryPresent());
    mp3test::UseExamSettings(*output);
    output->SetInput(source.get());
    const std::string path = folder.File("1.mp3");
    output->SetFileName(path);
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    EXPECT_TRUE(events.Failures.empty());

    const auto bytes = mp3test::ReadFileBytes(path);
    ASSERT_GT(bytes.size(), 128u);
    const std::vector<std::uint8_t> tail(bytes.end() - 128, bytes.end());
    std::vector<std::uint8_t> expected(128, 0);
    expected[0] = 'T';
    expected[1] = 'A';
    expected[2] = 'G';
    EXPECT_EQ(tail, expected);
    const auto scan = mp3test::ScanFrames(bytes);
    EXPECT_EQ(scan.endOffset, bytes.size() - 128);
    for (const auto& frame : scan.frames) {
        ASSERT_EQ(frame.mpegVersion, 1);
        ASSERT_EQ(frame.sampleRate, Rate);
        ASSERT_EQ(frame.channelMode, 3);
        ASSERT_EQ(frame.bitrateKbps, 128);
        ASSERT_TRUE(frame.crcProtected);
    }
    const auto decoded = mp3test::DecodeFile(path);
    EXPECT_NEAR(static_cast<double>(decoded.samples.size()), ThreeSeconds, 1152 + 1105);
    EXPECT_GT(mp3test::BestCorrelation(samples, decoded.samples, 1, ThreeSeconds - 4000, 3000),
              0.99);
}

} // namespace
