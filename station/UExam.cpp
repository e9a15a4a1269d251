#include "station/UExam.h"

#include "controls/ImageList.h"
#include "controls/Label.h"
#include "controls/Look.h"
#include "controls/Panel.h"
#include "controls/PictureButton.h"
#include "controls/ProgressBar.h"
#include "controls/Timer.h"

#include <QVBoxLayout>

using controls::StationFont;

TDateTime ElapsedTime = 0;

namespace {

controls::Label* CaptionLabel(QWidget* block, int x, int y, int fontHeight, bool bold,
                              int width = 0) {
    return new controls::Label(block, x, y, QString(), StationFont(fontHeight, bold), width);
}

} // namespace

TfrmExam::TfrmExam(QWidget* parent, TfrmMainForm& MainForm) : QWidget(parent), MainForm(MainForm) {
    setObjectName(QStringLiteral("frmExam"));
    slphmglst1 = new controls::ImageList(
        this, 32, {"microphone", "client_account_template", "tick", "stop", "door_open"});

    spnlPredm = new controls::Panel(this, 49);
    spnlPredm->setFont(StationFont(-19));

    spnl2 = new controls::Panel(this, 180);
    spnl7 = spnl2->AddContentBlock(166);
    lblRegion = CaptionLabel(spnl7, 16, 7, -19, false);
    lblOU = CaptionLabel(spnl7, 16, 45, -19, false);
    lblAUD = CaptionLabel(spnl7, 16, 84, -19, false);
    lblMember = CaptionLabel(spnl7, 16, 122, -19, false);

    spnl3 = new controls::Panel(this, 40);
    spnl3->setFont(StationFont(-19, true));

    spnl4 = new controls::Panel(this);
    spnl5 = spnl4->AddContentBlock(229);
    // The captions left of the buttons end where the buttons begin; the two lines below the buttons
    // may take the whole block.
    lblTimer = CaptionLabel(spnl5, 18, 20, -40, false, 555);
    lblCount = CaptionLabel(spnl5, 21, 12, -19, false, 552);
    lblReport = CaptionLabel(spnl5, 21, 168, -13, true);
    lblArchive = CaptionLabel(spnl5, 21, 191, -13, true);
    const QFont buttonFont = StationFont(-19);
    btnRecord = new controls::PictureButton(
        spnl5, QRect(579, 14, 314, 43), QStringLiteral("Начать запись"), slphmglst1, 0, buttonFont);
    btnNext = new controls::PictureButton(spnl5, QRect(581, 74, 314, 43),
                                          QStringLiteral("Следующий участник"), slphmglst1, 1,
                                          buttonFont);
    btnNext->setEnabled(false);
    btnEnd = new controls::PictureButton(spnl5, QRect(581, 133, 313, 43),
                                         QStringLiteral("Завершить собеседование"), slphmglst1, 2,
                                         buttonFont);
    btn1 = new controls::PictureButton(spnl5, QRect(582, 132, 313, 43),
                                       QStringLiteral("Выйти из программы"), slphmglst1, 4,
                                       buttonFont);
    btn1->hide();

    spnl8 = new controls::Panel(this, 66);
    spnl9 = spnl8->AddContentBlock(56);
    sprgrsbr1 = new controls::ProgressBar(spnl9, QRect(8, 12, 898, 33));
    sprgrsbr1->hide();

    tmr1 = new controls::Timer(this, 1000);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QWidget* panel : {spnlPredm, spnl2, spnl3, spnl4, spnl8})
        layout->addWidget(panel);

    CreateRecording();
    CreateClose();
}
