#include "station/TextRules.h"

#include "platform/TextCodec.h"

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
