// Conversion between the program's UTF-8 strings and the single-byte Windows-1251 text that the
// interview report is written in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// A character without a Windows-1251 form (or a malformed UTF-8 sequence) becomes "?".
std::string Utf8ToWindows1251(std::string_view utf8);
std::string Windows1251ToUtf8(std::string_view text);

// The number of characters, as a single-byte text of the same content would count its bytes.
std::size_t Utf8Length(std::string_view utf8);

} // namespace platform
