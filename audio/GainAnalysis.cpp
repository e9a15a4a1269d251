#include "audio/GainAnalysis.h"

namespace audio {

const char* const GainLibraryName = GAIN_LIBRARY_FILE_NAME;

platform::RuntimeLibrary<TGainEntryPoints>& GainLibrary() {
    static platform::RuntimeLibrary<TGainEntryPoints> library(GainLibraryName, &platform::BindGain);
    return library;
}

std::mutex& GainAnalysisLock() {
    static std::mutex lock;
    return lock;
}

} // namespace audio
