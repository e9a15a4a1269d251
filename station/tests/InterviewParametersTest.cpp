// The interview's parameters and readiness: what is stored, what is refused, the folder and the
// report's header, and an interview resumed in a folder that already holds recordings.
#include "station/safeguards/NameLengthCheck.h"
#include "station/tests/CoreFixture.h"

#include <filesystem>
#include <fstream>

using namespace station;

namespace {

namespace fs = std::filesystem;

const std::string MissingData = "Введите полностью данные!";
const std::string UnsafeName =
    "Код ОУ и номер аудитории не должны содержать символы \\ / : * ? \" < > |";
const std::string LineBreakInText =
    "Город / район и название ОУ не должны содержать переносов строк и других управляющих символов";

class InterviewParametersTest : public coretest::CoreFixture {
protected:
    bool Save(const char* region, const char* name, const char* code, const char* room) {
        return interview_->SaveParameters(
            {.region = region, .schoolName = name, .schoolCode = code, .room = room});
    }
    bool NothingStored() const {
        return State().participant == 0 && State().schoolCode.empty() && State().room.empty() &&
               State().region.empty() && State().schoolName.empty() && State().examDate == 0;
    }
    std::string TodayFolder(const char* code6, const char* room3) const {
        return desktop_.Desktop() + "/01-" +
               platform::FormatDateTime("ddmmyyyy", State().examDate) + "-" + code6 + "-" + room3;
    }
};

TEST_F(InterviewParametersTest, StartsEmpty) {
    EXPECT_TRUE(NothingStored());
    EXPECT_TRUE(interview_->Report().empty());
    EXPECT_EQ(interview_->Exam(), ExamState{});
    EXPECT_TRUE(boxes_.Shown().empty());
}

// Each empty field alone stops the save with one box; the checks for missing data come before the
// check of unsafe characters.
TEST_F(InterviewParametersTest, MissingParameterIsRefusedAndNothingIsStored) {
    const char* complete[] = {"Город", "Школа", "145", "12"};
    for (int missing = 0; missing < 4; ++missing) {
        const char* values[4];
        for (int i = 0; i < 4; ++i)
            values[i] = i == missing ? "" : complete[i];
        boxes_.Clear();
        // An unsafe code as well: the missing field is what is reported.
        EXPECT_FALSE(Save(values[0], values[1], missing == 2 ? "" : "1/4", values[3]));
        EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{MissingData}) << missing;
        EXPECT_TRUE(NothingStored()) << missing;
    }
}

// A value that would make the folder, report or archive name longer than the file system takes is
// refused when saved, naming the field, not when the interview is already under way.
TEST_F(InterviewParametersTest, NamesTooLongForTheFileSystemAreRefusedNamingTheField) {
    std::string cyrillicRoom; // 130 letters of two bytes each
    for (int i = 0; i < 130; ++i)
        cyrillicRoom += "ж";
    const struct {
        std::string code, room;
        TooLongField field;
    } cases[] = {
        {std::string(240, '7'), "12", TooLongField::SchoolCode},
        {"145", cyrillicRoom, TooLongField::Room},
        {std::string(120, '1'), std::string(120, '2'), TooLongField::Both},
    };
    for (const auto& c : cases) {
        boxes_.Clear();
        EXPECT_FALSE(Save("Город", "Школа", c.code.c_str(), c.room.c_str())) << c.room;
        EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{TooLongFieldText(c.field)}) << c.room;
        EXPECT_TRUE(NothingStored());
    }
    EXPECT_TRUE(Save("Город", "Школа", std::string(200, '7').c_str(), "12"));
}

// Spaces inside a value are text; a code or room of spaces only, or ending in one, is refused
// (NoDeadEndTest), since Windows cannot hold such a name.
TEST_F(InterviewParametersTest, SpacesAreTextAndShortValuesArePadded) {
    EXPECT_TRUE(Save(" ", "  ", "  5", " 7"));
    EXPECT_TRUE(boxes_.Shown().empty());
    EXPECT_EQ(State().schoolCode, "  5");
    EXPECT_EQ(State().schoolCode6, "000  5");
    EXPECT_EQ(State().room, " 7");
    EXPECT_EQ(State().room3, "0 7");
    EXPECT_EQ(State().region, " ");
    EXPECT_EQ(State().schoolName, "  ");
    EXPECT_EQ(State().participant, 1);
    EXPECT_EQ(State().examDate, platform::Today());
}

TEST_F(InterviewParametersTest, SavingAgainReplacesEverything) {
    Save("Первый", "Школа 1", "1", "1");
    calendar_.day = platform::EncodeDateTime({2024, 1, 2});
    Save("Второй", "Школа 2", "22", "333");
    EXPECT_EQ(State().region, "Второй");
    EXPECT_EQ(State().schoolName, "Школа 2");
    EXPECT_EQ(State().schoolCode6, "000022");
    EXPECT_EQ(State().room3, "333");
    EXPECT_EQ(State().participant, 1);
    EXPECT_EQ(State().examDate, platform::EncodeDateTime({2024, 1, 2}));
}

TEST_F(InterviewParametersTest, UnsafeCodeOrRoomIsRefusedAndEarlierValuesStay) {
    Save("Город", "Школа", "145", "12");
    for (const auto& [code, room] :
         std::vector<std::pair<const char*, const char*>>{{"../..", "12"},
                                                          {"145", "a/b"},
                                                          {"1\\2", "1"},
                                                          {"145", "1:2"},
                                                          {"1*", "1"},
                                                          {"145", "?"},
                                                          {"\"", "1"},
                                                          {"<1>", "1"},
                                                          {"1|2", "1"},
                                                          {"1\t", "1"}}) {
        boxes_.Clear();
        EXPECT_FALSE(Save("Другой", "Другая", code, room));
        EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{UnsafeName}) << code << " " << room;
        EXPECT_EQ(State().schoolCode, "145");
        EXPECT_EQ(State().room, "12");
        EXPECT_EQ(State().region, "Город");
    }
}

// What the Windows-1251 report cannot carry (and the separator where it would shift the code or
// the room) is refused at saving, naming the field and the character; nothing is stored.
TEST_F(InterviewParametersTest, CharactersTheReportCannotCarryAreRefusedNamingTheField) {
    Save("Город", "Школа", "145", "12");
    const struct {
        const char *region, *name, *code, *room;
        std::string field, character;
    } cases[] = {
        {"Город", "Школа", "12;34", "12", "Код ОУ", "«;»"},
        {"Город", "Школа", "145", "7🎓", "Номер аудитории", "«🎓» (U+1F393)"},
        {"Город 🎓", "Школа", "145", "12", "Город / район", "«🎓» (U+1F393)"},
        {"Город", "学校", "145", "12", "Название ОУ", "«学» (U+5B66)"},
        {"Город", "Школа \u202Eабв", "145", "12", "Название ОУ", "U+202E"},
        {"Мос\u200Bква", "Школа", "145", "12", "Город / район", "U+200B"},
        {"Город", "Школа", "1\u00852", "12", "Код ОУ", "U+0085"},
        {"Город", "Школа\xFF", "145", "12", "Название ОУ", "байт 0xFF"},
    };
    for (const auto& c : cases) {
        boxes_.Clear();
        EXPECT_FALSE(Save(c.region, c.name, c.code, c.room)) << c.field;
        EXPECT_EQ(boxes_.Texts(),
                  std::vector<std::string>{"Поле «" + c.field + "» содержит символ " + c.character +
                                           ", который нельзя записать в отчёт собеседования. "
                                           "Удалите его или замените."});
        EXPECT_EQ(State().schoolCode, "145");
        EXPECT_EQ(State().region, "Город");
    }
    // What Windows-1251 holds stays allowed, the separator inside the school name included: the
    // receiver reads the name to the end of its line.
    EXPECT_TRUE(Save("г. Москва — ЮЗАО", "Школа №1; «Лицей» ё", "145", "12"));
}

// A region or school name pasted from several lines would split its report line and shift every
// later line of the report.
TEST_F(InterviewParametersTest, LineBreakInRegionOrSchoolNameIsRefusedAndEarlierValuesStay) {
    Save("Город", "Школа", "145", "12");
    for (const auto& [region, name] :
         std::vector<std::pair<const char*, const char*>>{{"Москва\r\nРайон", "Школа 2"},
                                                          {"Москва", "Школа\n№2"},
                                                          {"Москва\r", "Школа 2"},
                                                          {"Москва", "Школа\t№2"}}) {
        boxes_.Clear();
        EXPECT_FALSE(Save(region, name, "146", "12"));
        EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{LineBreakInText}) << region << name;
        EXPECT_EQ(State().region, "Город");
        EXPECT_EQ(State().schoolName, "Школа");
        EXPECT_EQ(State().schoolCode, "145");
    }
}

TEST_F(InterviewParametersTest, ReadinessCreatesTheFolderAndStartsTheReport) {
    Save("г. Москва", "ГБОУ Школа; №1", "145", "12");
    ASSERT_TRUE(interview_->ConfirmReadiness());

    const std::string folder = TodayFolder("000145", "012");
    EXPECT_EQ(State().folder, folder);
    EXPECT_TRUE(fs::is_directory(folder));
    ASSERT_EQ(interviewSeen_.opened.size(), 1u);
    EXPECT_EQ(interviewSeen_.opened[0].folder, folder);
    const std::string date = platform::FormatDateTime("dd.mm.yyyy", State().examDate);
    EXPECT_EQ(interview_->Report(),
              (std::vector<std::string>{"Собеседование по русскому языку в 9 классах", date,
                                        "г. Москва", "000145;ГБОУ Школа; №1", "Аудитория;012"}));
    EXPECT_EQ(State().participant, 1);
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(InterviewParametersTest, LongCodesAreUsedWholeAndTheDayOfSavingNamesTheFolder) {
    calendar_.day = platform::EncodeDateTime({2024, 1, 2});
    Save("Р", "Ш", "1234567", "0012");
    calendar_.day.reset(); // readiness confirmed a day or more later
    ASSERT_TRUE(interview_->ConfirmReadiness());
    EXPECT_EQ(State().folder, desktop_.Desktop() + "/01-02012024-1234567-0012");
    EXPECT_TRUE(fs::is_directory(State().folder));
    EXPECT_EQ(interview_->Report()[1], "02.01.2024");
    EXPECT_EQ(interview_->Report()[4], "Аудитория;0012");
}

// A restart on the same day finds the first participants' recordings: they are kept, reported, and
// numbering goes on after the highest.
TEST_F(InterviewParametersTest, RecordingsAlreadyInTheFolderAreKeptAndNumberingContinues) {
    Save("Р", "Ш", "145", "12");
    const std::string folder = TodayFolder("000145", "012");
    fs::create_directories(folder);
    for (const char* name : {"10.mp3", "1.mp3", "2.mp3", "notes.txt", "01.mp3"})
        std::ofstream(folder + "/" + name) << name;
    ASSERT_TRUE(interview_->ConfirmReadiness());

    EXPECT_EQ(State().participant, 11);
    ASSERT_EQ(interviewSeen_.opened.size(), 1u);
    EXPECT_EQ(interviewSeen_.opened[0].participant, 11);
    const std::vector<std::string> report = interview_->Report();
    ASSERT_EQ(report.size(), 8u);
    EXPECT_EQ(report[4], "Аудитория;012");
    EXPECT_TRUE(report[5].starts_with("1.mp3;"));
    EXPECT_TRUE(report[6].starts_with("2.mp3;"));
    EXPECT_TRUE(report[7].starts_with("10.mp3;"));
    EXPECT_TRUE(report[7].ends_with(";6;4FC855B3")) << report[7];
    EXPECT_EQ(boxes_.Texts(),
              std::vector<std::string>{
                  "В папке собеседования уже есть записи участников: 3. Нет записей участников 3, "
                  "4, 5, 6, 7, 8, 9: в отчёте они будут указаны как несостоявшиеся записи. Если "
                  "такой участник ещё здесь, запишите его под следующим номером. Нумерация "
                  "продолжится с участника 11."});
    std::ifstream first(folder + "/1.mp3");
    std::string content;
    first >> content;
    EXPECT_EQ(content, "1.mp3");
}

// A folder named like a recording is no recording: it gets no report line and no checksum box, but
// its number is taken so that nothing is ever recorded over it.
TEST_F(InterviewParametersTest, AFolderNamedLikeARecordingIsLeftAloneButItsNumberIsTaken) {
    Save("Р", "Ш", "145", "12");
    const std::string folder = TodayFolder("000145", "012");
    fs::create_directories(folder + "/4.mp3");
    std::ofstream(folder + "/4.mp3/inside.txt") << "kept";
    std::ofstream(folder + "/1.mp3") << "1.mp3";
    ASSERT_TRUE(interview_->ConfirmReadiness());

    EXPECT_EQ(State().participant, 5);
    const std::vector<std::string> report = interview_->Report();
    ASSERT_EQ(report.size(), 6u);
    EXPECT_TRUE(report[5].starts_with("1.mp3;"));
    EXPECT_EQ(boxes_.Texts(),
              std::vector<std::string>{
                  "В папке собеседования уже есть записи участников: 1. В папке собеседования "
                  "есть объекты с именами записей, которые не являются файлами записей: 4.mp3. "
                  "Они оставлены как есть и не войдут в отчёт. Нумерация продолжится с "
                  "участника 5."});
    EXPECT_TRUE(fs::is_regular_file(folder + "/4.mp3/inside.txt"));
}

// Two windows on one interview would record over each other's files: the second refuses readiness
// and changes nothing, for as long as the first one lives.
TEST_F(InterviewParametersTest, ASecondStationOnTheSameInterviewIsRefused) {
    ASSERT_TRUE(Save("Р", "Ш", "145", "12"));
    ASSERT_TRUE(interview_->ConfirmReadiness());
    boxes_.Clear();

    auto second = std::make_unique<Interview>(services_);
    coretest::Notifications seen;
    const Subscription messages = second->Observers().Subscribe(reporter_);
    const Subscription told = second->Observers().Subscribe(seen);
    ASSERT_TRUE(second->SaveParameters(
        {.region = "Р", .schoolName = "Ш", .schoolCode = "145", .room = "12"}));
    EXPECT_FALSE(second->ConfirmReadiness());
    EXPECT_EQ(boxes_.Texts(),
              std::vector<std::string>{"Это собеседование уже ведётся в другом окне программы."});
    EXPECT_TRUE(seen.state.folder.empty());
    EXPECT_TRUE(second->Report().empty());
    EXPECT_TRUE(seen.opened.empty());

    // Once the first station has ended, the interview can be taken up again.
    subscriptions_.clear();
    interview_.reset();
    EXPECT_TRUE(second->ConfirmReadiness());
}

TEST_F(InterviewParametersTest, FolderThatCannotBeCreatedIsReportedAndNothingOpens) {
    Save("Р", "Ш", "145", "12");
    // A file where the Desktop folder should be.
    std::ofstream(desktop_.Desktop()) << "not a folder";
    EXPECT_FALSE(interview_->ConfirmReadiness());

    const std::string folder = TodayFolder("000145", "012");
    ASSERT_EQ(boxes_.Texts().size(), 1u);
    const std::string prefix = "Не удалось создать папку собеседования " + folder + ": ";
    EXPECT_TRUE(boxes_.Texts()[0].starts_with(prefix)) << boxes_.Texts()[0];
    EXPECT_GT(boxes_.Texts()[0].size(), prefix.size());
    EXPECT_TRUE(State().folder.empty());
    EXPECT_TRUE(interview_->Report().empty());
    EXPECT_TRUE(interviewSeen_.opened.empty());
}

} // namespace
