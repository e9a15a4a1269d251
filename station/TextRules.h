// Small text helpers of the station.
#pragma once

#include <string>
#include <string_view>

// `length - length(text)` copies of `fill` followed by `text`; `text` unchanged when it is already
// `length` long or longer (never cut). Lengths count characters.
std::string PadLeft(const std::string& text, char fill, int length);

// Whether `text` holds a control character (a line break, a tab, ...).
bool HasControlCharacter(std::string_view text);

// Whether `text` holds a character that cannot stand in a folder or file name: \ / : * ? " < > |
// or a control character.
bool HasUnsafeNameCharacter(std::string_view text);
