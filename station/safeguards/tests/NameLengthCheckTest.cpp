#include "station/safeguards/NameLengthCheck.h"

#include "platform/DateTime.h"
#include "platform/FileSystemFacts.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace station;

namespace {

const platform::DateTime Day = platform::EncodeDateTime({.year = 2026, .month = 12, .day = 10});

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

// The longest name is the report's: 24 bytes besides the padded school code and room
// ("01-10122026-000000-" + code + "-" + room + ".csv").
TEST(NameLengthCheckTest, FindsTheFieldThatMakesANameTooLong) {
    struct Case {
        std::string schoolCode;
        std::string room;
        TooLongField expected;
    };
    const Case cases[] = {
        {"145", "12", TooLongField::None},
        {Repeat("7", 228), "12", TooLongField::None}, // exactly 255 bytes
        {Repeat("7", 229), "12", TooLongField::SchoolCode},
        {"145", Repeat("3", 225), TooLongField::None},
        {"145", Repeat("3", 226), TooLongField::Room},
        // Neither alone, only the two together.
        {Repeat("7", 120), Repeat("3", 120), TooLongField::Both},
        {Repeat("7", 240), Repeat("3", 240), TooLongField::Both},
        // Bytes count, not letters: 115 Cyrillic letters are 230 bytes.
        {Repeat("Ё", 115), "1", TooLongField::SchoolCode},
        {Repeat("Ё", 114), "1", TooLongField::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindTooLongField(c.schoolCode, c.room, Day, 255), c.expected)
            << c.schoolCode.size() << " / " << c.room.size();
}

TEST(NameLengthCheckTest, UsesTheLimitOfTheDesktopsFileSystem) {
    const std::string desktop =
        (std::filesystem::temp_directory_path() / "no-such-home/Desktop").string();
    const std::size_t limit = platform::NameLimit(desktop);
    ASSERT_GT(limit, 27u);
    EXPECT_EQ(FindTooLongField(desktop, Repeat("5", limit - 27), "1", Day), TooLongField::None);
    EXPECT_EQ(FindTooLongField(desktop, Repeat("5", limit - 26), "1", Day),
              TooLongField::SchoolCode);
}

TEST(NameLengthCheckTest, MessagesNameTheField) {
    EXPECT_EQ(TooLongFieldText(TooLongField::None), "");
    EXPECT_EQ(TooLongFieldText(TooLongField::SchoolCode),
              "Код ОУ слишком длинный: имя папки, отчёта или архива превысит допустимую длину "
              "имени файла.");
    EXPECT_EQ(TooLongFieldText(TooLongField::Room),
              "Номер аудитории слишком длинный: имя папки, отчёта или архива превысит допустимую "
              "длину имени файла.");
    EXPECT_EQ(TooLongFieldText(TooLongField::Both),
              "Код ОУ и номер аудитории вместе слишком длинные: имя папки, отчёта или архива "
              "превысит допустимую длину имени файла.");
}

} // namespace
