// The run-time loaded loudness analysis (libgain.so). Loaded at the first open that needs it, at
// most once per process, and never unloaded; a failed load is tried again at the next open.
#pragma once

#include "platform/GainLibrary.h"

#include <mutex>

namespace audio {

struct TGainEntryPoints {
    InitGainAnalysisFunc InitGainAnalysis = nullptr;
    AnalyzeSamplesFunc AnalyzeSamples = nullptr;
    ResetSampleFrequencyFunc ResetSampleFrequency = nullptr;
    GetTitleGainFunc GetTitleGain = nullptr;
    GetAlbumGainFunc GetAlbumGain = nullptr;
};

// The file name used in messages and for loading.
extern const char* const GainLibraryName;

// Loads the library under the process-wide library-load lock. True when it is loaded (now or
// before).
bool LoadGainLibrary();
bool GainLibraryLoaded();
// The entry points found (any may be null when the library lacks it). Valid once loaded.
const TGainEntryPoints& GainEntryPoints();

// The analysis keeps one state per process: every call into it is made under this lock, so that
// two indicators running on two workers never overlap inside it.
std::mutex& GainAnalysisLock();

} // namespace audio
