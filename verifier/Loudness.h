// How loud a recording is, measured the way broadcasters measure it (EBU R 128 over the
// BS.1770 K-weighted loudness, with libebur128), together with what a receiver needs to know
// whether the answer can be heard at all: how much of it is silent and how much of it is clipped.
#pragma once

#include "interview_format/LoudnessLimits.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace interview_check {

// The momentary loudness (a 400 ms window) is taken every 100 ms: fine enough to see a word,
// coarse enough that an hour of audio gives 36 000 figures.
inline constexpr double LoudnessStepSeconds = 0.1;

// Silence and clipping are judged by the limits the station's meter uses too.
using interview_format::ClipLevel;
using interview_format::SilenceLufs;

struct LoudnessFacts {
    // Absent when no 400 ms block rises above BS.1770's absolute gate (-70 LUFS): silence.
    std::optional<double> integratedLufs;
    double rangeLu = 0;
    // Absent when every sample is zero.
    std::optional<double> samplePeakDbfs;
    std::uint64_t samples = 0; // over all channels
    std::uint64_t clippedSamples = 0;
    // One figure per LoudnessStepSeconds from the first whole 400 ms window on; -infinity for
    // digital silence.
    std::vector<float> momentary;

    double seconds = 0;
    // Shares of 0..1; a recording too short for one window counts as wholly silent.
    double SilentShare() const;
    double ClippedShare() const;
};

// Fed the decoded audio piece by piece as the recording streams past.
class LoudnessMeter {
public:
    LoudnessMeter();
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    // Interleaved samples of `channels` channels at `rate`; the format must not change between
    // calls (the MP3 walk refuses a recording whose format changes). Raises DecoderFailure
    // when the analysis cannot be set up.
    void Take(const float* samples, std::size_t frames, int channels, long rate);
    LoudnessFacts Finish();

private:
    struct Analysis; // libebur128's state

    void Start(int channels, long rate);
    void TakeStep(const float* samples, std::size_t frames);

    std::unique_ptr<Analysis> state_;
    int channels_ = 0;
    long rate_ = 0;
    std::size_t stepFrames_ = 0;
    std::size_t inStep_ = 0; // frames taken since the last step ended
    std::uint64_t frames_ = 0;
    std::size_t steps_ = 0;
    LoudnessFacts facts_;
};

} // namespace interview_check
