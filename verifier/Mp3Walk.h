// Follows an MP3 recording frame by frame with libmpg123 as its bytes stream past, so a recording
// is checked in the same pass that decompresses and checksums it. Every frame must follow the one
// before it with nothing in between (no resynchronising over junk, no tag block in the middle), the
// format must stay the same, and the recording must end on a whole frame or its trailing tag. Tags
// before the first audio frame (ID3v2, the encoder's information frame) are part of a recording.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct mpg123_handle_struct;

namespace interview_check {

struct Mp3Facts {
    std::uint64_t frames = 0;
    double seconds = 0;
    long sampleRate = 0;
    int channels = 0;
    std::string failure; // empty for a sound recording
};

class Mp3Walk {
public:
    // Interleaved float samples of one decoded frame, full scale at 1.0 (a decoded wave may go
    // beyond it).
    using AudioSink =
        std::function<void(const float* samples, std::size_t frames, int channels, long rate)>;

    // With `decodeAudio` every frame is also decoded to samples. libmpg123 conceals damage inside
    // a frame's audio data rather than reporting it, so this finds nothing that the walk misses;
    // it is there for receivers who want the audio itself run through the decoder.
    explicit Mp3Walk(bool decodeAudio = false);
    // Decodes every frame as float samples and hands them to `sink`.
    explicit Mp3Walk(AudioSink sink);
    ~Mp3Walk();
    Mp3Walk(const Mp3Walk&) = delete;
    Mp3Walk& operator=(const Mp3Walk&) = delete;

    // The next bytes of the recording. Once a failure is found the rest is ignored.
    void Feed(const unsigned char* data, std::size_t size);
    // After the last byte.
    Mp3Facts Finish();
    // Audio frames followed so far.
    std::uint64_t Frames() const { return facts_.frames; }
    // Where the last frame followed so far ends, counted from the first byte fed: what a recording
    // cut off in the middle of a frame keeps when it is cut back to whole frames.
    std::int64_t WholeFramesEnd() const { return nextFrameAt_; }

private:
    void Fail(const std::string& reason);
    void TakeFrames();

    mpg123_handle_struct* handle_ = nullptr;
    bool decodeAudio_;
    AudioSink sink_;
    std::uint64_t samples_ = 0;
    std::int64_t nextFrameAt_ = 0; // where the frame after the last one must start
    Mp3Facts facts_;
};

} // namespace interview_check
