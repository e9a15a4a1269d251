// The entry points of the loudness analysis (libgain.so) as the program and its tests load them.
#pragma once

#include "platform/GainLibrary.h"
#include "platform/RuntimeLibrary.h"

namespace platform {

struct GainEntries {
    InitGainAnalysisFunc InitGainAnalysis = nullptr;
    AnalyzeSamplesFunc AnalyzeSamples = nullptr;
    ResetSampleFrequencyFunc ResetSampleFrequency = nullptr;
    GetTitleGainFunc GetTitleGain = nullptr;
    GetAlbumGainFunc GetAlbumGain = nullptr;
};

// The gain indicator calls three of the five; the other two may be missing.
inline void BindGain(EntryPointBinder& binder, GainEntries& entries) {
    binder.Called(entries.InitGainAnalysis, "InitGainAnalysis");
    binder.Called(entries.AnalyzeSamples, "AnalyzeSamples");
    binder.Optional(entries.ResetSampleFrequency, "ResetSampleFrequency");
    binder.Called(entries.GetTitleGain, "GetTitleGain");
    binder.Optional(entries.GetAlbumGain, "GetAlbumGain");
}

} // namespace platform
