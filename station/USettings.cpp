#include "station/USettings.h"

#include "controls/ImageList.h"
#include "controls/Label.h"
#include "controls/Look.h"
#include "controls/Panel.h"
#include "controls/PictureButton.h"
#include "controls/ProgressBar.h"
#include "controls/ToggleButton.h"
#include "platform/MessageBox.h"
#include "station/DesktopPath.h"
#include "station/ExistingRecordings.h"
#include "station/Naming.h"
#include "station/Report.h"
#include "station/UExam.h"
#include "station/UFunc.h"
#include "station/UMainForm.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>
#include <filesystem>

using controls::StationFont;

namespace {

const int LabelFontHeight = -16;

controls::Panel* CaptionPanel(QWidget* page, int height, const char* caption, int fontHeight,
                              bool bold) {
    auto* panel = new controls::Panel(page, height);
    panel->setText(QString::fromUtf8(caption));
    panel->setFont(StationFont(fontHeight, bold));
    return panel;
}

QLineEdit* Edit(QWidget* parent, int x, int y, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setFont(StationFont(LabelFontHeight));
    edit->setGeometry(x, y, width, 28);
    return edit;
}

controls::Label* BoldLabel(QWidget* parent, int x, int y, const char* text, int width = 0) {
    return new controls::Label(parent, x, y, QString::fromUtf8(text),
                               StationFont(LabelFontHeight, true), width);
}

std::string Text(const QLineEdit* edit) {
    return edit->text().toStdString();
}

// Creates the folder with its missing parents; the system's reason when that fails.
std::string CreateInterviewFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && !std::filesystem::is_directory(folder, error))
        error = std::make_error_code(std::errc::not_a_directory);
    return error ? error.message() : std::string();
}

} // namespace

TfrmSettings::TfrmSettings(QWidget* parent, TfrmMainForm& MainForm)
    : QWidget(parent), MainForm(MainForm) {
    setObjectName(QStringLiteral("frmSettings"));
    slphmglst1 = new controls::ImageList(this, 30,
                                         {"accept_button", "add_package", "sound", "microphone",
                                          "control_play_blue", "control_stop_blue"});
    BuildParameters();
    BuildCheck();
    CreateCheckRecording();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QWidget* panel : {spnlMain, spnl3, spnl5, spnl6, spnl4})
        layout->addWidget(panel);

    edtRegion->setFocus();
    setTabOrder(edtRegion, edtNameOU);
    setTabOrder(edtNameOU, edtKodOU);
    setTabOrder(edtKodOU, edtAud);
    btnWorkOK->OnClick = [this](QObject* Sender) { btnWorkOKClick(Sender); };
}

void TfrmSettings::BuildParameters() {
    spnlMain = CaptionPanel(this, 49,
                            "Перед началом собеседования специалисту по работе с ПК необходимо "
                            "задать параметры собеседования",
                            -19, false);
    spnl3 = CaptionPanel(this, 48, "Настройка параметров собеседования", -27, true);
    spnl5 = new controls::Panel(this, 241);
    spnl5->SetBevel(false);
    spnl7 = spnl5->AddContentBlock(241);

    grp1 = new QGroupBox(QStringLiteral("Заполните данные об образовательной организации:"), spnl7);
    grp1->setFont(StationFont(-19));
    grp1->setGeometry(22, 11, 865, 163);
    lbl1 = BoldLabel(grp1, 22, 31, "Город / Район", 140);
    edtRegion = Edit(grp1, 168, 26, 512);
    lbl2 = BoldLabel(grp1, 22, 79, "Название ОУ:", 140);
    edtNameOU = Edit(grp1, 168, 74, 512);
    lbl9 = BoldLabel(grp1, 22, 128, "Код ОУ:", 140);
    edtKodOU = Edit(grp1, 168, 122, 160);
    lbl3 = BoldLabel(grp1, 352, 128, "Номер аудитории:", 170);
    edtAud = Edit(grp1, 526, 123, 154);

    btnSaveParam = new controls::PictureButton(spnl7, QRect(638, 180, 249, 51),
                                               QStringLiteral("Сохранить параметры"), slphmglst1, 0,
                                               StationFont(-16, true));
}

void TfrmSettings::BuildCheck() {
    spnl6 = CaptionPanel(this, 48, "Тестирование качества записи и воспроизведения", -27, true);
    spnl4 = new controls::Panel(this);
    spnl8 = spnl4->AddContentBlock(195);

    lbl4 = BoldLabel(spnl8, 24, 16, "Проверьте микрофон", 270);
    CheckGroup = new controls::ToggleGroup(this);
    btnCheckMicr =
        new controls::ToggleButton(spnl8, QRect(304, 10, 41, 41), CheckGroup, slphmglst1, 3);
    btnCheckMicr->setEnabled(false);
    lbl5 = BoldLabel(spnl8, 24, 67, "Проверьте качество записи", 270);
    btnCheckRecord =
        new controls::ToggleButton(spnl8, QRect(304, 57, 41, 41), CheckGroup, slphmglst1, 4);
    btnCheckRecord->setEnabled(false);
    sprgrsbr1 = new controls::ProgressBar(spnl8, QRect(375, 9, 529, 33));
    sprgrsbr1->hide();
    btnWorkOK = new controls::PictureButton(
        spnl8, QRect(375, 46, 529, 51),
        QStringLiteral("Подтвердить готовность рабочего места к экзамену"), slphmglst1, 0,
        StationFont(-16, true));
    btnWorkOK->setEnabled(false);
}

void TfrmSettings::btnSaveParamClick(QObject*) {
    for (const QLineEdit* edit : {edtRegion, edtNameOU, edtKodOU, edtAud}) {
        if (edit->text().isEmpty()) {
            platform::ShowMessage("Введите полностью данные!");
            return;
        }
    }
    // The code and the room become parts of folder and file names: a separator in them would put
    // the interview outside the Desktop.
    if (HasUnsafeNameCharacter(Text(edtKodOU)) || HasUnsafeNameCharacter(Text(edtAud))) {
        platform::ShowMessage(
            "Код ОУ и номер аудитории не должны содержать символы \\ / : * ? \" < > |");
        return;
    }
    // Each typed value is one field of one report line: a line break pasted into it would split
    // that line and shift every later one.
    if (HasControlCharacter(Text(edtRegion)) || HasControlCharacter(Text(edtNameOU))) {
        platform::ShowMessage("Город / район и название ОУ не должны содержать переносов строк и "
                              "других управляющих символов");
        return;
    }
    MainForm.Aud = Text(edtAud);
    MainForm.Aud3 = PadLeft(MainForm.Aud, '0', 3);
    MainForm.KodOU = Text(edtKodOU);
    MainForm.KodOU6 = PadLeft(MainForm.KodOU, '0', 6);
    MainForm.Region = Text(edtRegion);
    MainForm.NameOU = Text(edtNameOU);
    MainForm.MemberNo = 1;
    btnCheckMicr->setEnabled(true);
    btnCheckRecord->setEnabled(true);
    btnWorkOK->setEnabled(true);
    MainForm.ExamDate = platform::Today();
}

void TfrmSettings::btnWorkOKClick(QObject*) {
    const std::string folder =
        InterviewDirFor(GetDesktopPath(), MainForm.ExamDate, MainForm.KodOU6, MainForm.Aud3);
    const std::string failure = CreateInterviewFolder(folder);
    if (!failure.empty()) {
        platform::ShowMessage("Не удалось создать папку собеседования " + folder + ": " + failure);
        return;
    }
    // Recordings left by an earlier run of the same interview are kept: numbering continues after
    // them and they are reported like the new ones.
    const std::vector<long long> existing = ExistingRecordingNumbers(folder);
    MainForm.InterviewDir = folder;
    if (!existing.empty())
        MainForm.MemberNo = static_cast<std::int32_t>(existing.back() + 1);

    hide();
    TfrmExam& exam = *MainForm.frmExam;
    exam.show();
    exam.spnlPredm->setText(
        QString::fromStdString(platform::FormatDateTime("dd.mm.yyyy", MainForm.ExamDate) +
                               " - собеседование по русскому языку в 9 классах"));
    exam.lblRegion->setText(QString::fromStdString(MainForm.Region));
    exam.lblOU->setText(QString::fromStdString(MainForm.KodOU6 + " - " + MainForm.NameOU));
    exam.lblAUD->setText(QString::fromStdString("Аудитория - " + MainForm.Aud3));
    exam.lblMember->setText(
        QString::fromStdString("Участник - " + std::to_string(MainForm.MemberNo)));

    AddReportHeader(MainForm);
    for (const long long number : existing)
        AddRecordingLine(MainForm, RecordingFileName(folder, number));

    exam.lblCount->clear();
    exam.lblArchive->clear();
    exam.lblReport->clear();

    if (!existing.empty())
        platform::ShowMessage(
            "В папке собеседования уже есть записи участников: " + std::to_string(existing.size()) +
            ". Нумерация продолжится с участника " + std::to_string(MainForm.MemberNo) + ".");
}
