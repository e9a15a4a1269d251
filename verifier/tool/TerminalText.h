// Text from an archive (entry names, report values) shown to the receiver: a crafted name must not
// move the cursor, clear a line or colour the screen and so forge a verdict on a terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace interview_check::tool {

// The length of the well-formed UTF-8 sequence at the front of `text`, or 0.
std::size_t Utf8SequenceLength(std::string_view text);

// Whether the character at the front of `text` (`length` bytes, as Utf8SequenceLength gives it)
// is a C0 or C1 control or DEL.
bool IsControlCharacter(std::string_view text, std::size_t length);

// `text` with every control character (C0, DEL, C1) and every byte that is not well-formed UTF-8
// written as \xNN (the escape character itself included), and "\" as "\\", so that what is
// printed shows every byte of the name and nothing can act on the terminal.
std::string TerminalSafe(std::string_view text);

} // namespace interview_check::tool
