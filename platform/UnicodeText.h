// Conversion between the program's UTF-8 strings and wide text (UTF-16 for file names and tags,
// UTF-32 for names inside archives). Lossless both ways: a byte that is not part of valid UTF-8
// becomes U+DC00 + byte (a lone low surrogate, which valid UTF-8 never produces) and turns back
// into the same byte, so any Linux file name survives the trip.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The well-formed UTF-8 sequence at the front of `text`: its length in bytes, with its code point
// in `code`; 0 when the front is malformed (a stray or cut-off byte, an overlong form, a
// surrogate, a value beyond Unicode) or `text` is empty.
std::size_t Utf8SequenceAt(std::string_view text, char32_t& code);

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

std::u32string Utf8ToUtf32(std::string_view text);
// A code point beyond Unicode, or a surrogate that stands for no byte, becomes U+FFFD.
std::string Utf32ToUtf8(std::u32string_view text);

} // namespace platform
