// Small text helpers of the station.
#pragma once

#include <string>
#include <string_view>

// `Len - length(S)` copies of `Ch` followed by `S`; `S` unchanged when it is already `Len` long or
// longer (never cut). Lengths count characters.
std::string PadLeft(const std::string& S, char Ch, int Len);

// Whether `text` holds a control character (a line break, a tab, ...).
bool HasControlCharacter(std::string_view text);

// Whether `text` holds a character that cannot stand in a folder or file name: \ / : * ? " < > |
// or a control character.
bool HasUnsafeNameCharacter(std::string_view text);
