#include "audio/GainAnalysis.h"

#include "audio/EventHandler.h"
#include "platform/DynamicLibrary.h"

#include <atomic>
#include <optional>

namespace audio {
namespace {

std::optional<platform::DynamicLibrary> gainLibrary; // guarded by LibraryLoadLock
TGainEntryPoints entryPoints;                        // written once, before loaded is set
std::atomic<bool> loaded{false};

} // namespace

const char* const GainLibraryName = GAIN_LIBRARY_FILE_NAME;

bool LoadGainLibrary() {
    std::lock_guard guard(LibraryLoadLock());
    if (loaded.load(std::memory_order_acquire))
        return true;
    gainLibrary = platform::DynamicLibrary::Load(GainLibraryName);
    if (!gainLibrary)
        return false;
    entryPoints.InitGainAnalysis = gainLibrary->Entry<InitGainAnalysisFunc>("InitGainAnalysis");
    entryPoints.AnalyzeSamples = gainLibrary->Entry<AnalyzeSamplesFunc>("AnalyzeSamples");
    entryPoints.ResetSampleFrequency =
        gainLibrary->Entry<ResetSampleFrequencyFunc>("ResetSampleFrequency");
    entryPoints.GetTitleGain = gainLibrary->Entry<GetTitleGainFunc>("GetTitleGain");
    entryPoints.GetAlbumGain = gainLibrary->Entry<GetAlbumGainFunc>("GetAlbumGain");
    loaded.store(true, std::memory_order_release);
    return true;
}

bool GainLibraryLoaded() {
    return loaded.load(std::memory_order_acquire);
}

const TGainEntryPoints& GainEntryPoints() {
    return entryPoints;
}

std::mutex& GainAnalysisLock() {
    static std::mutex lock;
    return lock;
}

} // namespace audio
