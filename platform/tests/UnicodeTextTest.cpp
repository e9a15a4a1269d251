#include "platform/UnicodeText.h"

#include <gtest/gtest.h>

namespace {

// Every byte string comes back unchanged, whatever it holds.
TEST(UnicodeText, RoundTripsEveryByteString) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
        std::u32string utf32;
    };
    const Case cases[] = {
        {"1.mp3", u"1.mp3", U"1.mp3"},
        {"Собеседование", u"Собеседование", U"Собеседование"},
        {"\xF0\x9F\x8E\xA4", u"\U0001F3A4", U"\U0001F3A4"}, // outside the basic plane
        {"a\xFF"
         "b",
         std::u16string(u"a") + char16_t(0xDCFF) + u"b",
         std::u32string(U"a") + char32_t(0xDCFF) + U"b"}, // not UTF-8
        {"\xC0\xAF",
         {char16_t(0xDCC0), char16_t(0xDCAF)},
         {char32_t(0xDCC0), char32_t(0xDCAF)}},           // overlong form
        {"\xD0", {char16_t(0xDCD0)}, {char32_t(0xDCD0)}}, // cut sequence
        {"\xED\xA0\x80",
         {char16_t(0xDCED), char16_t(0xDCA0), char16_t(0xDC80)},
         {char32_t(0xDCED), char32_t(0xDCA0), char32_t(0xDC80)}}, // an encoded surrogate
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(platform::Utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
        EXPECT_EQ(platform::Utf8ToUtf32(c.utf8), c.utf32) << c.utf8;
        EXPECT_EQ(platform::Utf32ToUtf8(c.utf32), c.utf8) << c.utf8;
    }
}

// Wide text that stands for no byte string (made by hand, not by the conversion) still gives valid
// UTF-8.
TEST(UnicodeText, WideTextWithoutAByteFormBecomesTheReplacementCharacter) {
    EXPECT_EQ(platform::Utf16ToUtf8(std::u16string{char16_t(0xD800), u'x'}), "\uFFFDx");
    EXPECT_EQ(platform::Utf32ToUtf8(std::u32string{char32_t(0x110000)}), "\uFFFD");
    EXPECT_EQ(platform::Utf32ToUtf8(std::u32string{char32_t(0xDC00)}), "\uFFFD");
}

} // namespace
