#include "platform/UnicodeText.h"

namespace platform {
namespace {

// Bytes 0x80-0xFF that are not valid UTF-8 map to U+DC80-U+DCFF.
constexpr char32_t EscapeBase = 0xDC00;
constexpr char32_t Replacement = 0xFFFD;

bool IsSurrogate(char32_t code) {
    return code >= 0xD800 && code <= 0xDFFF;
}

bool IsEscapedByte(char32_t code) {
    return code >= EscapeBase + 0x80 && code <= EscapeBase + 0xFF;
}

// Calls emit(code point) for each character of the text, escaping every byte that is not valid.
template <typename Emit> void DecodeUtf8(std::string_view text, Emit&& emit) {
    for (std::size_t at = 0; at < text.size();) {
        char32_t code = 0;
        const std::size_t length = Utf8SequenceAt(text.substr(at), code);
        if (length == 0) {
            emit(EscapeBase + static_cast<unsigned char>(text[at]));
            ++at;
        } else {
            emit(code);
            at += length;
        }
    }
}

void AppendUtf8(std::string& out, char32_t code) {
    if (IsEscapedByte(code)) {
        out += static_cast<char>(code - EscapeBase);
        return;
    }
    if (code > 0x10FFFF || IsSurrogate(code))
        code = Replacement;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

std::size_t Utf8SequenceAt(std::string_view text, char32_t& code) {
    if (text.empty())
        return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length;
    char32_t minimum;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode would not come back as the same bytes.
    if (code < minimum || code > 0x10FFFF || IsSurrogate(code))
        return 0;
    return length;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    DecodeUtf8(text, [&out](char32_t code) {
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    });
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at];
        if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
            text[at + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[at + 1] - 0xDC00));
            ++at;
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::u32string Utf8ToUtf32(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    DecodeUtf8(text, [&out](char32_t code) { out += code; });
    return out;
}

std::string Utf32ToUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t code : text)
        AppendUtf8(out, code);
    return out;
}

} // namespace platform
