// The entry points of the encoder library (liblame_enc.so) as the program and its tests load them.
#pragma once

#include "platform/LameEnc.h"
#include "platform/RuntimeLibrary.h"

namespace platform {

inline constexpr const char* LameEncFileName = "liblame_enc.so";

struct LameEncEntries {
    BEINITSTREAM beInitStream = nullptr;
    BEENCODECHUNK beEncodeChunk = nullptr;
    BEDEINITSTREAM beDeinitStream = nullptr;
    BECLOSESTREAM beCloseStream = nullptr;
    BEWRITEVBRHEADER beWriteVBRHeader = nullptr;
    // Looked up, never called by the recording chain.
    BEFLUSHNOGAP beFlushNoGap = nullptr;
    BEWRITEINFOTAG beWriteInfoTag = nullptr;
};

inline void BindLameEnc(EntryPointBinder& binder, LameEncEntries& entries) {
    binder.Called(entries.beInitStream, "beInitStream");
    binder.Called(entries.beEncodeChunk, "beEncodeChunk");
    binder.Called(entries.beDeinitStream, "beDeinitStream");
    binder.Called(entries.beCloseStream, "beCloseStream");
    binder.Called(entries.beWriteVBRHeader, "beWriteVBRHeader");
    binder.Optional(entries.beFlushNoGap, "beFlushNoGap");
    binder.Optional(entries.beWriteInfoTag, "beWriteInfoTag");
}

} // namespace platform
