#include "audio/lame.h"

#include "platform/DynamicLibrary.h"

#include <atomic>
#include <mutex>
#include <optional>

namespace audio {

const char* const EncoderLibraryFileName = "liblame_enc.so";

namespace {

// Loading happens on the GUI thread (construction) and on workers (the start of a recording): the
// load is serialised and the flag published only once the entry points are in place.
std::mutex encoderLoadLock;
std::atomic<bool> encoderLibraryPresent{false};
std::optional<platform::DynamicLibrary> encoderLibrary;
TEncoderEntryPoints entryPoints;
std::string encoderFileName = EncoderLibraryFileName;

} // namespace

void EnsureEncoderLibrary() {
    if (encoderLibraryPresent)
        return;
    std::lock_guard guard(encoderLoadLock);
    if (encoderLibraryPresent)
        return;
    auto library = platform::DynamicLibrary::Load(encoderFileName);
    if (!library)
        return;
    TEncoderEntryPoints found;
    found.beInitStream = library->Entry<BEINITSTREAM>("beInitStream");
    found.beEncodeChunk = library->Entry<BEENCODECHUNK>("beEncodeChunk");
    found.beDeinitStream = library->Entry<BEDEINITSTREAM>("beDeinitStream");
    found.beCloseStream = library->Entry<BECLOSESTREAM>("beCloseStream");
    found.beWriteVBRHeader = library->Entry<BEWRITEVBRHEADER>("beWriteVBRHeader");
    found.beFlushNoGap = library->Entry<BEFLUSHNOGAP>("beFlushNoGap");
    found.beWriteInfoTag = library->Entry<BEWRITEINFOTAG>("beWriteInfoTag");
    if (!found.beInitStream || !found.beEncodeChunk || !found.beDeinitStream ||
        !found.beCloseStream || !found.beWriteVBRHeader)
        return;
    encoderLibrary = std::move(library);
    entryPoints = found;
    encoderLibraryPresent = true;
}

bool EncoderLibraryPresent() {
    return encoderLibraryPresent;
}

const TEncoderEntryPoints& EncoderLibrary() {
    return entryPoints;
}

void SetEncoderLibraryFileNameForTests(std::string FileName) {
    std::lock_guard guard(encoderLoadLock);
    encoderFileName = std::move(FileName);
}

} // namespace audio
