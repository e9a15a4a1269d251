#include "verifier/tool/TerminalText.h"

#include "platform/UnicodeText.h"

#include <cstdio>

namespace interview_check::tool {
namespace {

void AppendEscaped(std::string& out, std::string_view bytes) {
    for (const char c : bytes) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
        out += escaped;
    }
}

} // namespace

std::size_t Utf8SequenceLength(std::string_view text) {
    char32_t ignored = 0;
    return platform::Utf8SequenceAt(text, ignored);
}

bool IsControlCharacter(std::string_view text, std::size_t length) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (length == 1)
        return lead < 0x20 || lead == 0x7F;
    // U+0080..U+009F: C2 80 .. C2 9F.
    return length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[1]) <= 0x9F;
}

std::string TerminalSafe(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        std::size_t length = Utf8SequenceLength(text);
        if (length == 0 || IsControlCharacter(text, length)) {
            AppendEscaped(out, text.substr(0, length == 0 ? 1 : length));
            text.remove_prefix(length == 0 ? 1 : length);
            continue;
        }
        if (text[0] == '\\')
            out += '\\';
        out.append(text.substr(0, length));
        text.remove_prefix(length);
    }
    return out;
}

} // namespace interview_check::tool
