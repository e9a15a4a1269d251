#include "verifier/tool/TerminalText.h"

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
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80                    ? 1
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 0;
    return length;
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
