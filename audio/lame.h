// Binding of the encoder library liblame_enc.so, loaded at run time on first need and kept for the
// life of the process.
#pragma once

#include "platform/LameEncEntries.h"

namespace audio {

// The called entry points are all present once the library is loaded.
using TEncoderEntryPoints = platform::LameEncEntries;

extern const char* const EncoderLibraryFileName; // "liblame_enc.so"

// Loaded on the GUI thread (construction) and on workers (the start of a recording); a library
// that lacks one of the called entry points counts as not loaded.
platform::RuntimeLibrary<TEncoderEntryPoints>& EncoderLibrary();

} // namespace audio
