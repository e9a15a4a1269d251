#include "audio/AudioFileOut.h"

#include "audio/WideText.h"

namespace audio {

void TAudioStreamedOutput::SetStream(TAudioStream* Value) {
    FStream = Value;
    FStreamAssigned = Value != nullptr;
}

std::string TAudioFileOut::FileName() const {
    std::lock_guard guard(FNameLock);
    return FFileName;
}

std::u16string TAudioFileOut::WideName() const {
    std::lock_guard guard(FNameLock);
    return FWideName;
}

void TAudioFileOut::SetFileName(const std::string& Value) {
    std::u16string wide = Utf8ToUtf16(Value);
    std::lock_guard guard(FNameLock);
    FFileName = Value;
    FWideName = std::move(wide);
}

void TAudioFileOut::SetWriteMode(std::uint8_t Value) {
    (void)Value;
    FWriteMode = 0;
}

void TAudioFileOut::CreateFileStream() {
    FreeFileStream();
    const auto mode = static_cast<std::uint16_t>(FShareMode | TAudioFileStream::fmCreate);
    FFileStream = std::make_unique<TAudioFileStream>(WideName(), mode, FAccessRights);
    if (const std::chrono::milliseconds interval = SyncInterval(); interval.count() > 0)
        FFileStream->KeepSynced(interval);
    FStream = FFileStream.get();
}

void TAudioFileOut::FreeFileStream() {
    if (!FFileStream)
        return;
    TAudioStream* own = FFileStream.get();
    FStream.compare_exchange_strong(own, nullptr);
    FFileStream.reset();
}

void TAudioFileOut::CloseFileStream() {
    try {
        if (FFileStream)
            FFileStream->Close();
    } catch (...) {
        FreeFileStream();
        throw;
    }
    FreeFileStream();
}

TAudioTaggedFileOut::TAudioTaggedFileOut()
    : FId3v1Tags(std::make_unique<TId3v1Tags>()), FId3v2Tags(std::make_unique<TId3v2Tags>()),
      FAPEv2Tags(std::make_unique<TAPEv2Tags>()) {}

TAudioTaggedFileOut::~TAudioTaggedFileOut() {
    try {
        Stop(false);
    } catch (...) {
        // Destroyed from its own worker: nothing can be stopped from here.
    }
}

} // namespace audio
