// libgain.so: the loudness analysis behind the gain indicator, over libebur128 (EBU R 128, the
// BS.1770 K-weighted loudness, the measure ReplayGain 2.0 uses). The gain is the ReplayGain 2.0
// reference of -18 LUFS minus the loudness measured.
//
// The recording is mono: whatever channels a call hands in are measured as their average, the
// mix the recording's file holds, so that the meter reads the same loudness as the receiver's
// check of that file and pays for one channel's filter, not two.
#include "platform/GainLibrary.h"
#include "platform/CBoundary.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#define GAIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr double ReferenceLufs = -18.0;
// The momentary window, and the longest stretch one title figure covers (the short-term window):
// a query after a longer pause reports the last seconds, not an average the meter never shows.
constexpr unsigned long MomentaryMilliseconds = 400;
constexpr unsigned long LongestTitleMilliseconds = 3000;
// Below BS.1770's absolute gate there is no loudness to speak of: digital silence and a dead
// input read as this, a finite figure far past where the meter bottoms out.
constexpr double FloorLufs = -70.0;
// 16-bit full scale: the callers hand in samples in the 16-bit integer range.
constexpr double FullScale = 32768.0;

struct StateDeleter {
    void operator()(ebur128_state* state) const { ebur128_destroy(&state); }
};

struct Analysis {
    std::unique_ptr<ebur128_state, StateDeleter> state;
    unsigned long rate = 0;
    unsigned long long framesSinceInit = 0;
    unsigned long long framesSinceTitle = 0;
    std::vector<double> mix;
};

// One analysis per process, as the interface says; its callers serialise their calls. It is
// never destroyed: a program that exits while recording finishes the recording from an exit
// handler, and its worker may still analyse after this library's static objects are gone.
Analysis& TheAnalysis() {
    alignas(Analysis) static unsigned char storage[sizeof(Analysis)];
    static Analysis* const analysis = std::construct_at(reinterpret_cast<Analysis*>(storage));
    return *analysis;
}

// A failure inside answers as a refused call (0); a figure asked for then reads as "too little
// audio".
template <typename Body> int32_t Guarded(Body&& body) noexcept {
    return platform::CatchAtCBoundary<int32_t>(0, 0, std::forward<Body>(body));
}

template <typename Body> double GuardedGain(Body&& body) noexcept {
    return platform::CatchAtCBoundary<double>(GAIN_NOT_ENOUGH_SAMPLES, GAIN_NOT_ENOUGH_SAMPLES,
                                              std::forward<Body>(body));
}

// The sample rates of ReplayGain's analysis, which the station and its callers know.
bool SupportedRate(int32_t rate) {
    constexpr int32_t rates[] = {8000,  11025, 12000, 16000, 22050,
                                 24000, 32000, 44100, 48000, 96000};
    return std::find(std::begin(rates), std::end(rates), rate) != std::end(rates);
}

double GainFromLoudness(double lufs) {
    return ReferenceLufs - std::max(lufs, FloorLufs);
}

} // namespace

GAIN_EXPORT int32_t InitGainAnalysis(int32_t sampleRate) {
    return Guarded([&] {
        Analysis& analysis = TheAnalysis();
        analysis.state.reset();
        analysis.rate = 0;
        if (!SupportedRate(sampleRate))
            return 0;
        // The short-term mode only sizes the library's buffer to the 3 s a title figure may
        // cover; ebur128_set_max_window would do the same but, in the library's 1.2.6, asks for a
        // gigabyte.
        std::unique_ptr<ebur128_state, StateDeleter> state(
            ebur128_init(1, static_cast<unsigned long>(sampleRate),
                         EBUR128_MODE_S | EBUR128_MODE_I | EBUR128_MODE_HISTOGRAM));
        if (!state)
            return 0;
        analysis.state = std::move(state);
        analysis.rate = static_cast<unsigned long>(sampleRate);
        analysis.framesSinceInit = 0;
        analysis.framesSinceTitle = 0;
        return 1;
    });
}

GAIN_EXPORT int32_t AnalyzeSamples(const double* left, const double* right, int32_t sampleCount,
                                   int32_t channels) {
    if (sampleCount < 0 || !left || channels < 1 || channels > 2 || (channels == 2 && !right))
        return 0;
    return Guarded([&] {
        Analysis& analysis = TheAnalysis();
        if (!analysis.state)
            return 0;
        const auto frames = static_cast<std::size_t>(sampleCount);
        analysis.mix.resize(frames);
        if (channels == 2)
            for (std::size_t i = 0; i < frames; ++i)
                analysis.mix[i] = (left[i] + right[i]) * (0.5 / FullScale);
        else
            for (std::size_t i = 0; i < frames; ++i)
                analysis.mix[i] = left[i] * (1.0 / FullScale);
        if (frames > 0 && ebur128_add_frames_double(analysis.state.get(), analysis.mix.data(),
                                                    frames) != EBUR128_SUCCESS)
            return 0;
        analysis.framesSinceInit += frames;
        analysis.framesSinceTitle += frames;
        return 1;
    });
}

GAIN_EXPORT int32_t ResetSampleFrequency(int32_t sampleRate) {
    return InitGainAnalysis(sampleRate);
}

GAIN_EXPORT double GetTitleGain() {
    return GuardedGain([] {
        Analysis& analysis = TheAnalysis();
        if (!analysis.state || analysis.framesSinceInit == 0)
            return double(GAIN_NOT_ENOUGH_SAMPLES);
        // At least the momentary window, so that the meter moves as smoothly as the standard's
        // momentary loudness; never more than was analysed, which would count the window's zeros.
        const unsigned long long since = std::max<unsigned long long>(
            analysis.framesSinceTitle * 1000 / analysis.rate, MomentaryMilliseconds);
        const unsigned long long analysed = analysis.framesSinceInit * 1000 / analysis.rate;
        const auto window = static_cast<unsigned long>(std::max<unsigned long long>(
            1, std::min({since, analysed, (unsigned long long)LongestTitleMilliseconds})));
        analysis.framesSinceTitle = 0;
        double lufs = 0;
        if (ebur128_loudness_window(analysis.state.get(), window, &lufs) != EBUR128_SUCCESS)
            return double(GAIN_NOT_ENOUGH_SAMPLES);
        return GainFromLoudness(lufs);
    });
}

GAIN_EXPORT double GetAlbumGain() {
    return GuardedGain([] {
        Analysis& analysis = TheAnalysis();
        double lufs = 0;
        if (!analysis.state ||
            ebur128_loudness_global(analysis.state.get(), &lufs) != EBUR128_SUCCESS)
            return double(GAIN_NOT_ENOUGH_SAMPLES);
        return GainFromLoudness(lufs);
    });
}

// The exported entry points must match the loader's types exactly.
namespace {
[[maybe_unused]] constexpr InitGainAnalysisFunc checkInit = &InitGainAnalysis;
[[maybe_unused]] constexpr AnalyzeSamplesFunc checkAnalyze = &AnalyzeSamples;
[[maybe_unused]] constexpr ResetSampleFrequencyFunc checkReset = &ResetSampleFrequency;
[[maybe_unused]] constexpr GetTitleGainFunc checkTitle = &GetTitleGain;
[[maybe_unused]] constexpr GetAlbumGainFunc checkAlbum = &GetAlbumGain;
} // namespace
