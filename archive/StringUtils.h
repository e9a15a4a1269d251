// Text routines behind archive names and format masks: splitting and joining lists, wildcard and
// file-mask matching, case folding and the UTF-8 <-> wide conversions used for names inside
// archives.
#pragma once

#include "platform/FailureCause.h"

#include <string>
#include <vector>

namespace archive {

class EStringError : public platform::Failure {
public:
    using Failure::Failure;
};

using TStringList = std::vector<std::string>;

// Cuts at every `separator`; empty pieces stay as empty entries, except after a trailing separator.
void SplitAtChar(const std::string& text, char separator, TStringList& list);
// Cuts at every occurrence of `separator`; empty pieces are kept only when `keepEmpty` is set.
void SplitString(const std::string& text, const std::string& separator, TStringList& list,
                 bool keepEmpty);
std::string JoinStrings(const TStringList& list, const std::string& separator, bool keepEmpty);

// Matches `text` from the 1-based `start` index to its end against a pattern of "*" (any run,
// separators included) and "?" (exactly one character). Raises EStringError for an empty pattern
// ("Search string cannot be blank") or a start outside the text ("Argument out of range").
bool MatchesWildcard(const std::string& pattern, const std::string& text, std::size_t start);
// Whole-name match; a name without any "." is matched as if it ended with one.
bool MatchesFileMask(const std::string& name, const std::string& mask, bool caseSensitive = false);

// Upper case for ASCII and the Russian alphabet in UTF-8; other bytes stay as they are.
std::string UpperCaseText(const std::string& text);
bool SameText(const std::string& a, const std::string& b);

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

} // namespace archive
