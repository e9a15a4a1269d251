// libgain.so: the loudness analysis behind the gain indicator, over Debian's libreplaygain. It only
// adapts names and argument types; the analysis itself is libreplaygain's.
#include "platform/GainLibrary.h"
#include "platform/CBoundary.h"

#include <replaygain/gain_analysis.h>

#include <utility>

#define GAIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// A failure inside answers as a refused call (0); a figure asked for then reads as "too little
// audio".
template <typename Body> int32_t Guarded(Body&& body) noexcept {
    return platform::CatchAtCBoundary<int32_t>(0, 0, std::forward<Body>(body));
}

template <typename Body> double GuardedGain(Body&& body) noexcept {
    return platform::CatchAtCBoundary<double>(GAIN_NOT_ENOUGH_SAMPLES, GAIN_NOT_ENOUGH_SAMPLES,
                                              std::forward<Body>(body));
}

} // namespace

GAIN_EXPORT int32_t InitGainAnalysis(int32_t sampleRate) {
    return Guarded([&] { return gain_init_analysis(sampleRate) == INIT_GAIN_ANALYSIS_OK ? 1 : 0; });
}

GAIN_EXPORT int32_t AnalyzeSamples(const double* left, const double* right, int32_t sampleCount,
                                   int32_t channels) {
    if (sampleCount < 0 || !left || channels < 1 || channels > 2 || (channels == 2 && !right))
        return 0;
    return Guarded([&] {
        return gain_analyze_samples(left, right, static_cast<size_t>(sampleCount), channels) ==
                       GAIN_ANALYSIS_OK
                   ? 1
                   : 0;
    });
}

// libreplaygain has no call that changes the rate while keeping the album's histogram, so the
// whole analysis restarts.
GAIN_EXPORT int32_t ResetSampleFrequency(int32_t sampleRate) {
    return InitGainAnalysis(sampleRate);
}

namespace {

// Debian's libreplaygain reports the loudness of the analysed audio in dB, not the gain: the
// ReplayGain gain is the calibration level (89 dB SPL) minus that loudness.
constexpr double PinkReference = 64.82;

double GainFromLoudness(double loudness) {
    // Too little audio has no loudness; the marker passes through, far below any real gain.
    if (loudness == GAIN_NOT_ENOUGH_SAMPLES)
        return GAIN_NOT_ENOUGH_SAMPLES;
    return PinkReference - loudness;
}

} // namespace

GAIN_EXPORT double GetTitleGain() {
    return GuardedGain([] { return GainFromLoudness(gain_get_title()); });
}

GAIN_EXPORT double GetAlbumGain() {
    return GuardedGain([] { return GainFromLoudness(gain_get_album()); });
}

// The exported entry points must match the loader's types exactly.
namespace {
[[maybe_unused]] constexpr InitGainAnalysisFunc checkInit = &InitGainAnalysis;
[[maybe_unused]] constexpr AnalyzeSamplesFunc checkAnalyze = &AnalyzeSamples;
[[maybe_unused]] constexpr ResetSampleFrequencyFunc checkReset = &ResetSampleFrequency;
[[maybe_unused]] constexpr GetTitleGainFunc checkTitle = &GetTitleGain;
[[maybe_unused]] constexpr GetAlbumGainFunc checkAlbum = &GetAlbumGain;
} // namespace
