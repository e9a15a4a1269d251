#include "station/TextRules.h"

#include "platform/TextCodec.h"
#include "platform/UnicodeText.h"
#include "station/OperatorTexts.h"

#include <cstdio>
#include <utility>

namespace station {

std::string PadLeft(const std::string& text, char fill, int length) {
    const long long missing =
        static_cast<long long>(length) - static_cast<long long>(platform::Utf8Length(text));
    if (missing < 1)
        return text;
    return std::string(static_cast<std::size_t>(missing), fill) + text;
}

bool HasControlCharacter(std::string_view text) {
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte < 0x20 || byte == 0x7F)
            return true;
    }
    return false;
}

bool HasUnsafeNameCharacter(std::string_view text) {
    return HasControlCharacter(text) || text.find_first_of("\\/:*?\"<>|") != std::string_view::npos;
}

namespace {

// The code point of the well-formed UTF-8 sequence at the front of `text` and its length; length
// 0 for a malformed one.
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view text) {
    char32_t code = 0;
    const std::size_t length = platform::Utf8SequenceAt(text, code);
    return {code, length};
}

std::string CodePointText(char32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(code));
    return text;
}

} // namespace

std::optional<std::string> FirstUnreportableCharacter(std::string_view text,
                                                      std::string_view forbidden) {
    while (!text.empty()) {
        const auto [code, length] = DecodeUtf8(text);
        if (length == 0) {
            return InvalidByteText(static_cast<unsigned char>(text[0]));
        }
        const std::string_view character = text.substr(0, length);
        const bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F);
        if (control)
            return CodePointText(code);
        // A character survives the report when it comes back from Windows-1251 as it went in;
        // the codec writes "?" for what it cannot carry.
        const bool carried =
            platform::Windows1251ToUtf8(platform::Utf8ToWindows1251(character)) == character;
        if (!carried) {
            // Format characters (zero width, direction overrides) are invisible: the code names
            // them.
            const bool invisible = (code >= 0x200B && code <= 0x200F) ||
                                   (code >= 0x202A && code <= 0x202E) ||
                                   (code >= 0x2060 && code <= 0x206F) || code == 0xFEFF;
            return invisible ? CodePointText(code)
                             : "«" + std::string(character) + "» (" + CodePointText(code) + ")";
        }
        if (length == 1 && forbidden.find(text[0]) != std::string_view::npos)
            return "«" + std::string(character) + "»";
        text.remove_prefix(length);
    }
    return std::nullopt;
}

} // namespace station
