// Text from an archive as the receiver's terminal and JSON readers get it: every control character
// (C0, DEL, C1) and every malformed byte is written as its code; letters of any script stay.
#include "verifier/tool/TerminalText.h"
#include "verifier/tool/VerdictJson.h"

#include <gtest/gtest.h>

namespace interview_check::tool {
namespace {

TEST(TerminalTextTest, ControlsAndMalformedBytesAreShownAsTheirCodes) {
    const std::pair<std::string, std::string> cases[] = {
        {"1.mp3", "1.mp3"},
        {"запись №1 — 学", "запись №1 — 学"},
        {"a\nOK b", "a\\x0AOK b"},
        {"a\r\x1B[2K", "a\\x0D\\x1B[2K"},
        {"del\x7F", "del\\x7F"},
        {"csi\xC2\x9B"
         "2J",
         "csi\\xC2\\x9B2J"},
        {"bad\xFF\xC2", "bad\\xFF\\xC2"},
        {"back\\slash", "back\\\\slash"},
    };
    for (const auto& [raw, shown] : cases)
        EXPECT_EQ(TerminalSafe(raw), shown);
}

TEST(TerminalTextTest, JsonEscapesEveryControlCharacter) {
    EXPECT_EQ(JsonString("a\n\x7F\xC2\x85z"), "\"a\\u000a\\u007f\\u0085z\"");
    EXPECT_EQ(JsonString("ж\"\\"), "\"ж\\\"\\\\\"");
}

} // namespace
} // namespace interview_check::tool
