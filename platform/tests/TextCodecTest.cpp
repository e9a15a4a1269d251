#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace {

using platform::Utf8ToWindows1251;
using platform::Windows1251ToUtf8;

TEST(TextCodecTest, RussianTextRoundTripsThroughWindows1251) {
    const std::string text = "Собеседование по русскому языку; Ёё № 5";
    const std::string single = Utf8ToWindows1251(text);
    EXPECT_EQ(single.size(), platform::Utf8Length(text));
    EXPECT_EQ(static_cast<unsigned char>(single[0]), 0xD1); // С
    EXPECT_EQ(Windows1251ToUtf8(single), text);
}

TEST(TextCodecTest, CharactersWithoutAWindows1251FormBecomeOneQuestionMarkEach) {
    struct Case {
        std::string utf8;
        std::string expected;
    };
    const Case cases[] = {
        {"a\xE4\xB8\xAD"
         "b",
         "a?b"},                     // a CJK character
        {"\xF0\x9F\x98\x80!", "?!"}, // an emoji (four bytes)
        {"x\xFFy", "x?y"},           // a byte that is never UTF-8
        {"x\xE2\x82y", "x?y"},       // a cut sequence does not swallow the next letter
        {"end\xD0", "end?"},         // cut at the very end
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8ToWindows1251(c.utf8), c.expected) << c.utf8;
}

TEST(TextCodecTest, LengthCountsCharactersNotBytes) {
    EXPECT_EQ(platform::Utf8Length(""), 0u);
    EXPECT_EQ(platform::Utf8Length("Код"), 3u);
    EXPECT_EQ(platform::Utf8Length("  5"), 3u);
}

} // namespace
