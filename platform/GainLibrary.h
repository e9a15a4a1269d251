// The C interface of libgain.so, the loudness analysis loaded at run time by name. Both the library
// and its loader include this header, so the two sides cannot drift apart.
//
// The analysis keeps one state per process (it takes no context argument): callers that may run on
// several threads must keep their calls from overlapping.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// The file name the loader asks for.
#define GAIN_LIBRARY_FILE_NAME "libgain.so"
// What a gain query answers when too little audio was analysed for a figure.
#define GAIN_NOT_ENOUGH_SAMPLES (-24601.0)

// Restarts the whole analysis for `sampleRate` frames per second. 1 when the rate is supported, 0
// otherwise.
typedef int32_t (*InitGainAnalysisFunc)(int32_t sampleRate);
// Feeds `sampleCount` frames of one or two channels, scaled to the 16-bit integer range. With one
// channel `right` may be null. Two channels are measured as their average (the mono mix).
// Non-zero on success, 0 on failure.
typedef int32_t (*AnalyzeSamplesFunc)(const double* left, const double* right, int32_t sampleCount,
                                      int32_t channels);
// Switches the analysis to another rate; the album figure restarts as well.
typedef int32_t (*ResetSampleFrequencyFunc)(int32_t sampleRate);
// The ReplayGain 2.0 gain in dB, -18 LUFS minus the loudness (EBU R 128), for the audio analysed
// since the previous call (or since the analysis was set up), measured over at least the last
// 400 ms (the momentary window) and at most the last 3 s. Positive for quiet audio; loudness below
// -70 LUFS counts as -70, so silence reads 52. GAIN_NOT_ENOUGH_SAMPLES before any audio.
typedef double (*GetTitleGainFunc)(void);
// The same gain for the integrated (gated) loudness of everything analysed since the analysis was
// set up: -18 minus what a loudness check of the whole recording reports.
typedef double (*GetAlbumGainFunc)(void);

#ifdef __cplusplus
}
#endif
