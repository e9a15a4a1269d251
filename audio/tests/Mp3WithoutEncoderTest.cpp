// A recording on a machine without the encoder library: it fails before anything is created.
#include "audio/lame.h"
#include "audio/tests/Mp3TestSupport.h"
#include "platform/lame_enc/tests/Mp3TestTools.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class WithoutEncoderLibrary : public ::testing::Environment {
public:
    void SetUp() override { audio::EncoderLibrary().SetFileName("liblame_enc_absent.so"); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new WithoutEncoderLibrary);

TEST(Mp3WithoutEncoder, RecordingFailsWithoutCreatingTheFileOrOpeningTheInput) {
    testsupport::TemporaryFolder folder;
    auto source = audio::MakeComponent<mp3test::TMemorySource>(
        mp3test::Sine(440, 0.5, 44100, 44100), 1, 44100);
    auto output = audio::MakeComponent<audio::TMP3Out>();
    mp3test::OutputEvents events(*output);
    EXPECT_FALSE(audio::EncoderLibrary().Loaded());
    output->SetInput(source.get());
    const std::string path = folder / "1.mp3";
    output->SetFileName(path);
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    ASSERT_TRUE(mp3test::PumpUntil([&] { return !events.Failures.empty(); }));
    EXPECT_EQ(events.Failures,
              std::vector<std::string>{"liblame_enc.so library could not be loaded."});
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(source->Opens, 0);
    EXPECT_EQ(source->Closes, 0);
    EXPECT_EQ(events.SyncDone, 1);
    EXPECT_TRUE(mp3test::PumpUntil([&] { return events.Done == 1; }));
}

} // namespace
