// Recordings on a machine without a usable TagLib: the file is left exactly as the output wrote
// it, ending with its ID3v1 block. A library, once loaded, stays: these run in a process of their
// own.
#include "audio/taglib.h"
#include "audio/tests/Mp3TestSupport.h"
#include "platform/lame_enc/tests/Mp3TestTools.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

constexpr int Rate = 44100;

std::vector<std::uint8_t> EmptyId3v1Block() {
    std::vector<std::uint8_t> block(128, 0);
    block[0] = 'T';
    block[1] = 'A';
    block[2] = 'G';
    return block;
}

// The file as the output left it: at least one frame and the empty ID3v1 block at its end.
std::vector<std::uint8_t> ReadFileEndingWithEmptyId3v1(const std::string& path) {
    auto bytes = mp3test::ReadFileBytes(path);
    EXPECT_GT(bytes.size(), 128u);
    if (bytes.size() > 128) {
        EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 128, bytes.end()), EmptyId3v1Block());
    }
    return bytes;
}

TEST(Mp3WithoutTagLib, ThreeSecondRecordingEndsWithAnEmptyId3v1Block) {
    audio::TagLibrary().SetFileName("libtag_c_absent.so.0");
    constexpr int ThreeSeconds = 3 * Rate;
    testsupport::TemporaryFolder folder;
    const auto samples = mp3test::Sine(440, 0.5, Rate, ThreeSeconds);
    auto source = audio::MakeComponent<mp3test::TMemorySource>(samples, 1, Rate);
    auto output = audio::MakeComponent<audio::TMP3Out>();
    mp3test::OutputEvents events(*output);
    EXPECT_FALSE(audio::TagLibrary().Loaded());
    mp3test::UseExamSettings(*output);
    output->SetInput(source.get());
    const std::string path = folder / "1.mp3";
    output->SetFileName(path);
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    EXPECT_TRUE(events.Failures.empty());

    const auto bytes = ReadFileEndingWithEmptyId3v1(path);
    ASSERT_GT(bytes.size(), 128u);
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
    EXPECT_NEAR(static_cast<double>(decoded.samples.size()) - mp3test::LameDelaySamples,
                ThreeSeconds, 1152);
    EXPECT_GT(mp3test::BestCorrelation(samples, decoded.samples, 1, ThreeSeconds - 4000, 3000),
              0.99);
}

// A library that lacks an entry point the output calls is not used at all (each of the stand-in's
// entry points would abort the test).
TEST(Mp3WithoutTagLib, LibraryLackingACalledEntryPointIsNeverCalled) {
    audio::TagLibrary().SetFileName("libtag_c_partial.so");
    EXPECT_FALSE(audio::TagLibrary().Load());
    EXPECT_EQ(audio::TagLibrary().LoadError(),
              "libtag_c_partial.so: lacks the entry point taglib_file_save");
    testsupport::TemporaryFolder folder;
    auto source =
        audio::MakeComponent<mp3test::TMemorySource>(mp3test::Sine(440, 0.5, Rate, Rate), 1, Rate);
    auto output = audio::MakeComponent<audio::TMP3Out>();
    mp3test::OutputEvents events(*output);
    output->SetInput(source.get());
    const std::string path = folder / "2.mp3";
    output->SetFileName(path);
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    EXPECT_TRUE(events.Failures.empty());
    ReadFileEndingWithEmptyId3v1(path);
}

} // namespace
