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

// Restarts the whole analysis for `sampleRate` frames per second. 1 when the rate is supported, 0
// otherwise.
typedef int32_t (*InitGainAnalysisFunc)(int32_t sampleRate);
// Feeds `sampleCount` frames of one or two channels, scaled to the 16-bit integer range. With one
// channel `right` may be null. Non-zero on success, 0 on failure.
typedef int32_t (*AnalyzeSamplesFunc)(const double* left, const double* right, int32_t sampleCount,
                                      int32_t channels);
// Switches the analysis to another rate. With this backend the album figure restarts as well.
typedef int32_t (*ResetSampleFrequencyFunc)(int32_t sampleRate);
// The ReplayGain gain in dB (positive for quiet audio: 64.82 for silence) for the audio analysed
// since the previous call (or since the analysis was set up); -24601 when too little audio was
// analysed.
typedef double (*GetTitleGainFunc)(void);
// The same figure for everything analysed since the analysis was set up.
typedef double (*GetAlbumGainFunc)(void);

#ifdef __cplusplus
}
#endif
