// UTF-16 copies of the program's UTF-8 strings (file names, wide tag texts). The conversion is
// lossless both ways: a byte that is not valid UTF-8 becomes U+DC00 + byte and turns back into
// the same byte, so any Linux file name survives the trip.
#pragma once

#include <string>
#include <string_view>

namespace audio {

std::u16string Utf8ToUtf16(std::string_view Text);
std::string Utf16ToUtf8(std::u16string_view Text);

} // namespace audio
