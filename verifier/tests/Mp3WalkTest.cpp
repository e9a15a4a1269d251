// The MP3 walk over real encoder output: a sound recording gives its length whatever pieces it
// arrives in; a cut, a hole filled with junk or no MP3 at all are refused.
#include "verifier/Mp3Walk.h"
#include "verifier/tests/InterviewFixture.h"

#include <gtest/gtest.h>

#include <random>

namespace interview_check {
namespace {

Mp3Facts Walk(const std::string& bytes, std::size_t piece, bool decode = false) {
    Mp3Walk walk(decode);
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        walk.Feed(reinterpret_cast<const unsigned char*>(bytes.data()) + at,
                  std::min(piece, bytes.size() - at));
    return walk.Finish();
}

TEST(Mp3WalkTest, ARecordingIsFollowedToItsEndInAnyPieces) {
    const std::string bytes = testing::ReadFile(testing::Recording(1, 2.0));
    for (const std::size_t piece : {std::size_t{1} << 20, std::size_t{777}, std::size_t{3}}) {
        const Mp3Facts facts = Walk(bytes, piece);
        EXPECT_EQ(facts.failure, "") << piece;
        EXPECT_EQ(facts.sampleRate, 44100);
        EXPECT_EQ(facts.channels, 1);
        // The encoder pads the last frame; the length is within a frame or two of two seconds.
        EXPECT_NEAR(facts.seconds, 2.0, 0.06) << piece;
    }
    const Mp3Facts decoded = Walk(bytes, 4096, true);
    EXPECT_EQ(decoded.failure, "");
    EXPECT_EQ(decoded.frames, Walk(bytes, 4096).frames);
}

// An ID3v2 block of `size` bytes after its 10-byte header.
std::string Id3v2Block(std::size_t size) {
    std::string block = std::string("ID3\x04\x00\x00", 6);
    for (const int shift : {21, 14, 7, 0})
        block += static_cast<char>((size >> shift) & 0x7F);
    return block + std::string(size, '\0');
}

// The station's recordings carry an ID3v2 tag in front (written by TagLib after the recording) and
// an ID3v1 block at the end: both are part of a sound recording.
TEST(Mp3WalkTest, TagsAtTheStartAndTheEndAreAccepted) {
    const std::string sound = testing::ReadFile(testing::Recording(1, 1.0));
    const Mp3Facts plain = Walk(sound, 4096);
    const Mp3Facts tagged = Walk(Id3v2Block(2048) + sound, 4096);
    EXPECT_EQ(tagged.failure, "");
    EXPECT_EQ(tagged.frames, plain.frames);
}

TEST(Mp3WalkTest, DamageThatBreaksTheFrameChainIsRefused) {
    const std::string sound = testing::ReadFile(testing::Recording(1, 2.0));
    std::mt19937 random(7);
    std::string noise(3000, '\0');
    for (char& byte : noise)
        byte = static_cast<char>(random() & 0xFF);
    const std::size_t middle = sound.size() / 2;
    struct Case {
        std::string label;
        std::string bytes;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"cut in a frame", sound.substr(0, middle + 5), "обрывается"},
        {"junk between frames", sound.substr(0, middle) + noise + sound.substr(middle),
         "не MP3 после кадра"},
        {"no MP3 at all", noise, "ни одного кадра"},
        // libmpg123 steps over an ID3v2 block anywhere; inside a recording it is no part of it.
        {"a 1 MB ID3v2 block between frames",
         sound.substr(0, 834) + Id3v2Block(1 << 20) + sound.substr(834), "не являются кадрами MP3"},
        {"empty", "", "ни одного кадра"},
    };
    for (const Case& c : cases) {
        const Mp3Facts facts = Walk(c.bytes, 65536);
        EXPECT_NE(facts.failure.find(c.reason), std::string::npos)
            << c.label << ": " << facts.failure;
    }
}

} // namespace
} // namespace interview_check
