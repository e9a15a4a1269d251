#include "controls/ImageList.h"
#include "controls/Label.h"
#include "controls/Panel.h"
#include "controls/PictureButton.h"
#include "controls/ProgressBar.h"
#include "controls/Timer.h"
#include "controls/ToggleButton.h"
#include "platform/DateTime.h"
#include "platform/testing/QtTestApplication.h"
#include "platform/testing/ScriptedMessageBoxes.h"
#include "platform/testing/TemporaryDesktop.h"
#include "station/DesktopPath.h"
#include "station/UExam.h"
#include "station/UMainForm.h"
#include "station/USettings.h"

#include <QLineEdit>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace {

namespace fs = std::filesystem;
using platform::testing::ScriptedMessageBoxes;
using platform::testing::TemporaryDesktop;

const std::string MissingData = "Введите полностью данные!";
const std::string UnsafeName =
    "Код ОУ и номер аудитории не должны содержать символы \\ / : * ? \" < > |";
const std::string LineBreakInText =
    "Город / район и название ОУ не должны содержать переносов строк и других управляющих символов";

class StationWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<TfrmMainForm>();
        settings_ = window_->frmSettings;
        exam_ = window_->frmExam;
    }

    void Fill(const char* region, const char* name, const char* kod, const char* aud) {
        settings_->edtRegion->setText(QString::fromUtf8(region));
        settings_->edtNameOU->setText(QString::fromUtf8(name));
        settings_->edtKodOU->setText(QString::fromUtf8(kod));
        settings_->edtAud->setText(QString::fromUtf8(aud));
    }
    void Save() { settings_->btnSaveParam->click(); }
    void ConfirmReadiness() { settings_->btnWorkOK->click(); }
    bool NothingStored() const {
        return window_->MemberNo == 0 && window_->KodOU.empty() && window_->Aud.empty() &&
               window_->Region.empty() && window_->NameOU.empty() && window_->ExamDate == 0 &&
               !settings_->btnWorkOK->isEnabled() && !settings_->btnCheckMicr->isEnabled();
    }
    static std::string Text(const QWidget* label) {
        return static_cast<const QLabel*>(label)->text().toStdString();
    }
    std::string TodayFolder(const char* kod6, const char* aud3) const {
        return desktop_.Desktop() + "/01-" +
               platform::FormatDateTime("ddmmyyyy", window_->ExamDate) + "-" + kod6 + "-" + aud3;
    }

    TemporaryDesktop desktop_;
    ScriptedMessageBoxes boxes_;
    std::unique_ptr<TfrmMainForm> window_;
    TfrmSettings* settings_ = nullptr;
    TfrmExam* exam_ = nullptr;
};

TEST_F(StationWindowTest, StartsWithTheParametersPageAndEmptyState) {
    EXPECT_EQ(window_->windowTitle().toStdString(), "Собеседование по русскому языку");
    EXPECT_EQ(frmMainForm, window_.get());
    EXPECT_TRUE(window_->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window_->lbl1->text().toStdString(), "ГИА-9. СОБЕСЕДОВАНИЕ ПО РУССКОМУ ЯЗЫКУ");
    EXPECT_EQ(window_->lbl2->text().toStdString(), "Версия 1.0");
    EXPECT_FALSE(settings_->isHidden());
    EXPECT_TRUE(exam_->isHidden());
    EXPECT_TRUE(window_->ReportLines.empty());
    EXPECT_TRUE(NothingStored());

    EXPECT_TRUE(settings_->btnSaveParam->isEnabled());
    EXPECT_FALSE(settings_->btnCheckRecord->isEnabled());
    EXPECT_TRUE(settings_->sprgrsbr1->isHidden());
    EXPECT_EQ(settings_->btnCheckMicr->ImageIndex(), 3);
    EXPECT_EQ(settings_->btnCheckRecord->ImageIndex(), 4);
    EXPECT_EQ(settings_->slphmglst1->Name(5).toStdString(), "control_stop_blue");

    EXPECT_TRUE(exam_->btnRecord->isEnabled());
    EXPECT_FALSE(exam_->btnNext->isEnabled());
    EXPECT_TRUE(exam_->btnEnd->isEnabled());
    EXPECT_TRUE(exam_->btn1->isHidden());
    EXPECT_TRUE(exam_->sprgrsbr1->isHidden());
    EXPECT_EQ(exam_->sprgrsbr1->maximum(), 100);
    EXPECT_FALSE(exam_->tmr1->Enabled());
    EXPECT_EQ(exam_->tmr1->interval(), 1000);
    EXPECT_EQ(exam_->slphmglst1->Name(4).toStdString(), "door_open");
    EXPECT_TRUE(boxes_.Shown().empty());
}

// Each empty field alone stops the save with one box; the checks for missing data come before the
// check of unsafe characters.
TEST_F(StationWindowTest, MissingParameterIsRefusedAndNothingIsStored) {
    const char* complete[] = {"Город", "Школа", "145", "12"};
    for (int missing = 0; missing < 4; ++missing) {
        const char* values[4];
        for (int i = 0; i < 4; ++i)
            values[i] = i == missing ? "" : complete[i];
        // An unsafe code as well: the missing field is what is reported.
        Fill(values[0], values[1], missing == 2 ? "" : "1/4", values[3]);
        boxes_.Clear();
        Save();
        EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{MissingData}) << missing;
        EXPECT_TRUE(NothingStored()) << missing;
    }
}

TEST_F(StationWindowTest, SpacesAreTextAndShortValuesArePadded) {
    Fill(" ", "  ", "  5", " ");
    Save();
    EXPECT_TRUE(boxes_.Shown().empty());
    EXPECT_EQ(window_->KodOU, "  5");
    EXPECT_EQ(window_->KodOU6, "000  5");
    EXPECT_EQ(window_->Aud, " ");
    EXPECT_EQ(window_->Aud3, "00 ");
    EXPECT_EQ(window_->Region, " ");
    EXPECT_EQ(window_->NameOU, "  ");
    EXPECT_EQ(window_->MemberNo, 1);
    EXPECT_EQ(window_->ExamDate, platform::Today());
    EXPECT_TRUE(settings_->btnCheckMicr->isEnabled());
    EXPECT_TRUE(settings_->btnCheckRecord->isEnabled());
    EXPECT_TRUE(settings_->btnWorkOK->isEnabled());
}

TEST_F(StationWindowTest, SavingAgainReplacesEverything) {
    Fill("Первый", "Школа 1", "1", "1");
    Save();
    window_->MemberNo = 7;
    window_->ExamDate = 1;
    Fill("Второй", "Школа 2", "22", "333");
    Save();
    EXPECT_EQ(window_->Region, "Второй");
    EXPECT_EQ(window_->NameOU, "Школа 2");
    EXPECT_EQ(window_->KodOU6, "000022");
    EXPECT_EQ(window_->Aud3, "333");
    EXPECT_EQ(window_->MemberNo, 1);
    EXPECT_EQ(window_->ExamDate, platform::Today());
}

TEST_F(StationWindowTest, UnsafeCodeOrRoomIsRefusedAndEarlierValuesStay) {
    Fill("Город", "Школа", "145", "12");
    Save();
    for (const auto& [kod, aud] : std::vector<std::pair<const char*, const char*>>{{"../..", "12"},
                                                                                   {"145", "a/b"},
                                                                                   {"1\\2", "1"},
                                                                                   {"145", "1:2"},
                                                                                   {"1*", "1"},
                                                                                   {"145", "?"},
                                                                                   {"\"", "1"},
                                                                                   {"<1>", "1"},
                                                                                   {"1|2", "1"},
                                                                                   {"1\t", "1"}}) {
        Fill("Другой", "Другая", kod, aud);
        boxes_.Clear();
        Save();
        EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{UnsafeName}) << kod << " " << aud;
        EXPECT_EQ(window_->KodOU, "145");
        EXPECT_EQ(window_->Aud, "12");
        EXPECT_EQ(window_->Region, "Город");
    }
}

// A region or school name pasted from several lines would split its report line and shift every
// later line of the report.
TEST_F(StationWindowTest, LineBreakInRegionOrSchoolNameIsRefusedAndEarlierValuesStay) {
    Fill("Город", "Школа", "145", "12");
    Save();
    for (const auto& [region, name] :
         std::vector<std::pair<const char*, const char*>>{{"Москва\r\nРайон", "Школа 2"},
                                                          {"Москва", "Школа\n№2"},
                                                          {"Москва\r", "Школа 2"},
                                                          {"Москва", "Школа\t№2"}}) {
        settings_->edtRegion->clear();
        settings_->edtNameOU->clear();
        // Pasting goes through insert, which keeps the line breaks.
        settings_->edtRegion->insert(QString::fromUtf8(region));
        settings_->edtNameOU->insert(QString::fromUtf8(name));
        settings_->edtKodOU->setText("146");
        boxes_.Clear();
        Save();
        EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{LineBreakInText}) << region << name;
        EXPECT_EQ(window_->Region, "Город");
        EXPECT_EQ(window_->NameOU, "Школа");
        EXPECT_EQ(window_->KodOU, "145");
    }
}

TEST_F(StationWindowTest, ReadinessCreatesTheFolderStartsTheReportAndShowsTheExamPage) {
    Fill("г. Москва", "ГБОУ Школа; №1", "145", "12");
    Save();
    exam_->lblCount->setText("old");
    exam_->lblReport->setText("old");
    exam_->lblArchive->setText("old");
    ConfirmReadiness();

    const std::string folder = TodayFolder("000145", "012");
    EXPECT_EQ(window_->InterviewDir, folder);
    EXPECT_EQ(GetDesktopPath(), desktop_.Desktop());
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(settings_->isHidden());
    EXPECT_FALSE(exam_->isHidden());
    const std::string date = platform::FormatDateTime("dd.mm.yyyy", window_->ExamDate);
    EXPECT_EQ(exam_->spnlPredm->text().toStdString(),
              date + " - собеседование по русскому языку в 9 классах");
    EXPECT_EQ(Text(exam_->lblRegion), "г. Москва");
    EXPECT_EQ(Text(exam_->lblOU), "000145 - ГБОУ Школа; №1");
    EXPECT_EQ(Text(exam_->lblAUD), "Аудитория - 012");
    EXPECT_EQ(Text(exam_->lblMember), "Участник - 1");
    EXPECT_EQ(Text(exam_->lblCount), "");
    EXPECT_EQ(Text(exam_->lblReport), "");
    EXPECT_EQ(Text(exam_->lblArchive), "");
    EXPECT_EQ(window_->ReportLines,
              (std::vector<std::string>{"Собеседование по русскому языку в 9 классах", date,
                                        "г. Москва", "000145;ГБОУ Школа; №1", "Аудитория;012"}));
    EXPECT_EQ(window_->MemberNo, 1);
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(StationWindowTest, LongCodesAreUsedWholeAndTheDayOfSavingNamesTheFolder) {
    Fill("Р", "Ш", "1234567", "0012");
    Save();
    window_->ExamDate = platform::EncodeDateTime({2024, 1, 2}); // saved yesterday or earlier
    ConfirmReadiness();
    EXPECT_EQ(window_->InterviewDir, desktop_.Desktop() + "/01-02012024-1234567-0012");
    EXPECT_TRUE(fs::is_directory(window_->InterviewDir));
    EXPECT_EQ(exam_->spnlPredm->text().toStdString(),
              "02.01.2024 - собеседование по русскому языку в 9 классах");
    EXPECT_EQ(Text(exam_->lblAUD), "Аудитория - 0012");
    EXPECT_EQ(window_->ReportLines[1], "02.01.2024");
}

// A restart on the same day finds the first participants' recordings: they are kept, reported, and
// numbering goes on after the highest.
TEST_F(StationWindowTest, RecordingsAlreadyInTheFolderAreKeptAndNumberingContinues) {
    Fill("Р", "Ш", "145", "12");
    Save();
    const std::string folder = TodayFolder("000145", "012");
    fs::create_directories(folder);
    for (const char* name : {"10.mp3", "1.mp3", "2.mp3", "notes.txt", "01.mp3"})
        std::ofstream(folder + "/" + name) << name;
    ConfirmReadiness();

    EXPECT_EQ(window_->MemberNo, 11);
    EXPECT_EQ(Text(exam_->lblMember), "Участник - 11");
    ASSERT_EQ(window_->ReportLines.size(), 8u);
    EXPECT_EQ(window_->ReportLines[4], "Аудитория;012");
    EXPECT_TRUE(window_->ReportLines[5].starts_with("1.mp3;"));
    EXPECT_TRUE(window_->ReportLines[6].starts_with("2.mp3;"));
    EXPECT_TRUE(window_->ReportLines[7].starts_with("10.mp3;"));
    EXPECT_TRUE(window_->ReportLines[7].ends_with(";6;4FC855B3")) << window_->ReportLines[7];
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{"В папке собеседования уже есть записи "
                                                       "участников: 3. Нумерация продолжится с "
                                                       "участника 11."});
    std::ifstream first(folder + "/1.mp3");
    std::string content;
    first >> content;
    EXPECT_EQ(content, "1.mp3");
}

TEST_F(StationWindowTest, FolderThatCannotBeCreatedIsReportedAndThePageStays) {
    Fill("Р", "Ш", "145", "12");
    Save();
    // A file where the Desktop folder should be.
    std::ofstream(desktop_.Desktop()) << "not a folder";
    ConfirmReadiness();

    const std::string folder = TodayFolder("000145", "012");
    ASSERT_EQ(boxes_.Texts().size(), 1u);
    const std::string prefix = "Не удалось создать папку собеседования " + folder + ": ";
    EXPECT_TRUE(boxes_.Texts()[0].starts_with(prefix)) << boxes_.Texts()[0];
    EXPECT_GT(boxes_.Texts()[0].size(), prefix.size());
    EXPECT_TRUE(window_->InterviewDir.empty());
    EXPECT_TRUE(window_->ReportLines.empty());
    EXPECT_FALSE(settings_->isHidden());
    EXPECT_TRUE(exam_->isHidden());
    EXPECT_TRUE(settings_->btnWorkOK->isEnabled());
}

} // namespace
