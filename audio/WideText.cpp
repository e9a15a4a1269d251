#include "audio/WideText.h"

namespace audio {
namespace {

// Bytes 0x80-0xFF that are not valid UTF-8 map to U+DC80-U+DCFF (lone low surrogates, which valid
// UTF-8 never produces).
constexpr char16_t EscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence at Text[At], with its code point; 0 when it is not valid.
std::size_t DecodeSequence(std::string_view Text, std::size_t At, char32_t& CodePoint) {
    const auto lead = static_cast<unsigned char>(Text[At]);
    std::size_t length;
    char32_t minimum;
    if (lead < 0x80) {
        CodePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        CodePoint = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        CodePoint = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        CodePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (At + length > Text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(Text[At + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        CodePoint = (CodePoint << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode would not come back as the same bytes.
    if (CodePoint < minimum || CodePoint > 0x10FFFF || (CodePoint >= 0xD800 && CodePoint <= 0xDFFF))
        return 0;
    return length;
}

void AppendUtf8(std::string& Out, char32_t CodePoint) {
    if (CodePoint < 0x80) {
        Out += static_cast<char>(CodePoint);
    } else if (CodePoint < 0x800) {
        Out += static_cast<char>(0xC0 | (CodePoint >> 6));
        Out += static_cast<char>(0x80 | (CodePoint & 0x3F));
    } else if (CodePoint < 0x10000) {
        Out += static_cast<char>(0xE0 | (CodePoint >> 12));
        Out += static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (CodePoint & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (CodePoint >> 18));
        Out += static_cast<char>(0x80 | ((CodePoint >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (CodePoint & 0x3F));
    }
}

} // namespace

std::u16string Utf8ToUtf16(std::string_view Text) {
    std::u16string out;
    out.reserve(Text.size());
    for (std::size_t at = 0; at < Text.size();) {
        char32_t codePoint = 0;
        const std::size_t length = DecodeSequence(Text, at, codePoint);
        if (length == 0) {
            out += static_cast<char16_t>(EscapeBase + static_cast<unsigned char>(Text[at]));
            ++at;
            continue;
        }
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
            out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
        } else {
            out += static_cast<char16_t>(codePoint);
        }
        at += length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view Text) {
    std::string out;
    out.reserve(Text.size());
    for (std::size_t at = 0; at < Text.size(); ++at) {
        const char16_t unit = Text[at];
        if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < Text.size() && Text[at + 1] >= 0xDC00 &&
            Text[at + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (Text[at + 1] - 0xDC00));
            ++at;
        } else if (unit >= EscapeBase + 0x80 && unit <= EscapeBase + 0xFF) {
            // A byte that was not valid UTF-8 on the way in.
            out += static_cast<char>(unit - EscapeBase);
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

} // namespace audio
