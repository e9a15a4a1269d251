// The run-time loaded loudness analysis (libgain.so). Loaded at the first open that needs it, at
// most once per process, and never unloaded; a failed load is tried again at the next open.
#pragma once

#include "platform/GainEntries.h"

#include <mutex>

namespace audio {

using TGainEntryPoints = platform::GainEntries;

// The file name used in messages and for loading.
extern const char* const GainLibraryName;

// A library lacking one of the calls the indicator makes counts as not loaded.
platform::RuntimeLibrary<TGainEntryPoints>& GainLibrary();

// The analysis keeps one state per process: every call into it is made under this lock, so that
// two indicators running on two workers never overlap inside it.
std::mutex& GainAnalysisLock();

} // namespace audio
