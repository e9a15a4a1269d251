// Small text helpers of the station.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace station {

// `length - length(text)` copies of `fill` followed by `text`; `text` unchanged when it is already
// `length` long or longer (never cut). Lengths count characters.
std::string PadLeft(const std::string& text, char fill, int length);

// Whether `text` holds a control character (a line break, a tab, ...).
bool HasControlCharacter(std::string_view text);

// Whether `text` holds a character that cannot stand in a folder or file name: \ / : * ? " < > |
// or a control character.
bool HasUnsafeNameCharacter(std::string_view text);

// The first character of `text` that the Windows-1251 report cannot carry as typed: one without a
// Windows-1251 form (an emoji, CJK text), an invisible format character (a zero-width space, a
// right-to-left override), a control character, a malformed UTF-8 byte, or one of `forbidden`.
// Shown as the operator can tell it: «🎓» (U+1F393), or U+200B alone for what cannot be seen.
std::optional<std::string> FirstUnreportableCharacter(std::string_view text,
                                                      std::string_view forbidden = {});

} // namespace station
