#include "platform/player/Mp3Decoder.h"

#include "platform/Playback.h"
#include "platform/player/PlaybackError.h"
#include "platform/player/tests/TestAudioFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace platform::player {
namespace {

using testing::TestAudioFiles;

std::size_t DecodedFrames(Mp3Decoder& decoder) {
    std::vector<char> buffer(4096);
    std::size_t bytes = 0;
    while (const std::size_t got = decoder.Decode(buffer.data(), buffer.size()))
        bytes += got;
    return bytes / decoder.BytesPerFrame();
}

class Mp3DecoderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        files = std::make_unique<TestAudioFiles>();
        oneSecond = files->Mp3("one.mp3", 1.0);
    }
    static void TearDownTestSuite() { files.reset(); }
    static inline std::unique_ptr<TestAudioFiles> files;
    static inline std::string oneSecond;
};

TEST_F(Mp3DecoderTest, DecodesTheWholeFileAndAgainAfterRewind) {
    auto decoder = Mp3Decoder::OpenFile(oneSecond, 0, 0);
    EXPECT_EQ(decoder->OutputFormat().SampleRate, 44100);
    EXPECT_EQ(decoder->OutputFormat().Channels, 1);
    // The encoder's padding is removed through its info tag, up to a frame's worth.
    EXPECT_NEAR(double(DecodedFrames(*decoder)), 44100.0, 1152.0);
    decoder->Rewind();
    EXPECT_NEAR(double(DecodedFrames(*decoder)), 44100.0, 1152.0);
}

TEST_F(Mp3DecoderTest, AWindowOfTheFileOrOfAMemoryImageDecodesOnlyThatPart) {
    const std::vector<char> image = TestAudioFiles::Read(oneSecond);
    const std::size_t half = image.size() / 2;
    auto fileHalf = Mp3Decoder::OpenFile(oneSecond, 0, half);
    auto memoryWhole = Mp3Decoder::OpenMemory(image.data(), 0, image.size());
    EXPECT_NEAR(double(DecodedFrames(*fileHalf)), 22050.0, 2 * 1152.0);
    EXPECT_NEAR(double(DecodedFrames(*memoryWhole)), 44100.0, 1152.0);

    // A memory image that starts at an offset: the same file behind some foreign bytes.
    std::vector<char> shifted(1000 + image.size(), 'x');
    std::copy(image.begin(), image.end(), shifted.begin() + 1000);
    auto memoryShifted = Mp3Decoder::OpenMemory(shifted.data(), 1000, image.size());
    EXPECT_NEAR(double(DecodedFrames(*memoryShifted)), 44100.0, 1152.0);
}

TEST_F(Mp3DecoderTest, RefusesWhatIsNotMpegAudio) {
    std::vector<char> noise(20000);
    unsigned state = 12345;
    for (char& byte : noise)
        byte = static_cast<char>((state = state * 1103515245 + 12345) >> 16);
    struct Case {
        const char* what;
        std::string path;
        int code;
    } const cases[] = {
        {"missing file", files->Path("missing.mp3"), BASS_ERROR_FILEOPEN},
        {"folder", files->Path(""), BASS_ERROR_FILEOPEN},
        {"empty file", files->Write("empty.mp3", {}), BASS_ERROR_FILEFORM},
        {"wave file", files->Wav("tone.wav", 0.5), BASS_ERROR_FILEFORM},
        {"text", files->Write("text.mp3", {'h', 'e', 'l', 'l', 'o', '\n'}), BASS_ERROR_FILEFORM},
        {"noise", files->Write("noise.mp3", noise), BASS_ERROR_FILEFORM},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.what);
        try {
            Mp3Decoder::OpenFile(each.path, 0, 0);
            ADD_FAILURE() << "opened";
        } catch (const PlaybackError& error) {
            EXPECT_EQ(error.Code(), each.code) << error.what();
        }
    }
}

} // namespace
} // namespace platform::player
