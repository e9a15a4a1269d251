// Binding of the encoder library liblame_enc.so, loaded at run time on first need and kept for the
// life of the process.
#pragma once

#include "platform/LameEnc.h"

#include <string>

namespace audio {

// The called entry points; all present whenever EncoderLibraryPresent() is true.
struct TEncoderEntryPoints {
    BEINITSTREAM beInitStream = nullptr;
    BEENCODECHUNK beEncodeChunk = nullptr;
    BEDEINITSTREAM beDeinitStream = nullptr;
    BECLOSESTREAM beCloseStream = nullptr;
    BEWRITEVBRHEADER beWriteVBRHeader = nullptr;
    // Looked up, never called by the recording chain.
    BEFLUSHNOGAP beFlushNoGap = nullptr;
    BEWRITEINFOTAG beWriteInfoTag = nullptr;
};

extern const char* const EncoderLibraryFileName; // "liblame_enc.so"

// Loads the library unless it is loaded already; a failed load is tried again at the next call.
// A library that lacks one of the called entry points counts as not loaded. Safe on any thread.
void EnsureEncoderLibrary();
bool EncoderLibraryPresent();
// Valid once EncoderLibraryPresent() is true.
const TEncoderEntryPoints& EncoderLibrary();

// For tests that run without the library: the file name looked for from now on. Call before the
// first EnsureEncoderLibrary.
void SetEncoderLibraryFileNameForTests(std::string FileName);

} // namespace audio
