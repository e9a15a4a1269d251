// UTF-16 copies of the program's UTF-8 strings (file names, wide tag texts), by the platform's one
// lossless conversion.
#pragma once

#include "platform/UnicodeText.h"

namespace audio {

using platform::Utf16ToUtf8;
using platform::Utf8ToUtf16;

} // namespace audio
