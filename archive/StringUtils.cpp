#include "archive/StringUtils.h"

#include "platform/UnicodeText.h"

namespace archive {

void SplitAtChar(const std::string& text, char separator, TStringList& list) {
    list.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(separator, start);
        if (end == std::string::npos) {
            list.push_back(text.substr(start));
            break;
        }
        list.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

void SplitString(const std::string& text, const std::string& separator, TStringList& list,
                 bool keepEmpty) {
    list.clear();
    const auto add = [&](std::string piece) {
        if (!piece.empty() || keepEmpty)
            list.push_back(std::move(piece));
    };
    if (separator.empty()) {
        add(text);
        return;
    }
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos;
         start = end + separator.size())
        add(text.substr(start, end - start));
    add(text.substr(start));
}

std::string JoinStrings(const TStringList& list, const std::string& separator, bool keepEmpty) {
    std::string result;
    bool any = false;
    for (const std::string& entry : list) {
        if (entry.empty() && !keepEmpty)
            continue;
        if (any)
            result += separator;
        result += entry;
        any = true;
    }
    return result;
}

namespace {

// Length of the UTF-8 sequence starting at `index`, so that "?" stands for one whole character.
std::size_t CharacterLength(const std::string& text, std::size_t index) {
    const auto lead = static_cast<unsigned char>(text[index]);
    std::size_t length = 1;
    if (lead >= 0xF0 && lead < 0xF8)
        length = 4;
    else if (lead >= 0xE0)
        length = 3;
    else if (lead >= 0xC0)
        length = 2;
    for (std::size_t i = 1; i < length; ++i)
        if (index + i >= text.size() ||
            (static_cast<unsigned char>(text[index + i]) & 0xC0) != 0x80)
            return 1;
    return length;
}

} // namespace

bool MatchesWildcard(const std::string& pattern, const std::string& text, std::size_t start) {
    if (pattern.empty())
        throw EStringError("Search string cannot be blank");
    if (pattern == "*")
        return true;
    if (text.empty())
        return false;
    if (start < 1 || start > text.size())
        throw EStringError("Argument out of range");

    std::size_t p = 0;
    std::size_t t = start - 1;
    std::size_t resumePattern = std::string::npos; // just after the last "*"
    std::size_t resumeText = 0;                    // where that "*" stopped swallowing
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            resumePattern = ++p;
            resumeText = t;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            t += CharacterLength(text, t);
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (resumePattern != std::string::npos) {
            p = resumePattern;
            resumeText += CharacterLength(text, resumeText);
            t = resumeText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool MatchesFileMask(const std::string& name, const std::string& mask, bool caseSensitive) {
    if (mask.empty() || mask == "*" || mask == "*.*")
        return true;
    std::string subject = name;
    if (subject.find('.') == std::string::npos)
        subject += '.';
    if (caseSensitive)
        return MatchesWildcard(mask, subject, 1);
    return MatchesWildcard(UpperCaseText(mask), UpperCaseText(subject), 1);
}

std::string UpperCaseText(const std::string& text) {
    std::string result = text;
    for (std::size_t i = 0; i < result.size(); ++i) {
        auto& c = reinterpret_cast<unsigned char&>(result[i]);
        if (c >= 'a' && c <= 'z') {
            c = static_cast<unsigned char>(c - 'a' + 'A');
            continue;
        }
        if (i + 1 >= result.size())
            break;
        auto& next = reinterpret_cast<unsigned char&>(result[i + 1]);
        if (c == 0xD0 && next >= 0xB0 && next <= 0xBF) { // а..п
            next = static_cast<unsigned char>(next - 0x20);
            ++i;
        } else if (c == 0xD1 && next >= 0x80 && next <= 0x8F) { // р..я
            c = 0xD0;
            next = static_cast<unsigned char>(next + 0x20);
            ++i;
        } else if (c == 0xD1 && next == 0x91) { // ё
            c = 0xD0;
            next = 0x81;
            ++i;
        }
    }
    return result;
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && UpperCaseText(a) == UpperCaseText(b);
}

// Names inside archives take the platform's lossless conversion, so a file name that is not valid
// UTF-8 is stored and restored byte for byte.
static_assert(sizeof(wchar_t) == sizeof(char32_t), "wide text holds whole code points");

std::wstring Utf8ToWide(const std::string& text) {
    const std::u32string wide = platform::Utf8ToUtf32(text);
    return std::wstring(wide.begin(), wide.end());
}

std::string WideToUtf8(const std::wstring& text) {
    return platform::Utf32ToUtf8(std::u32string(text.begin(), text.end()));
}

} // namespace archive
