#include "audio/lame.h"

namespace audio {

const char* const EncoderLibraryFileName = platform::LameEncFileName;

platform::RuntimeLibrary<TEncoderEntryPoints>& EncoderLibrary() {
    static platform::RuntimeLibrary<TEncoderEntryPoints> library(EncoderLibraryFileName,
                                                                 &platform::BindLameEnc);
    return library;
}

} // namespace audio
