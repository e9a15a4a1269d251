#include "station/views/SettingsPage.h"

#include "controls/Accessibility.h"
#include "controls/ImageList.h"
#include "controls/Label.h"
#include "controls/Look.h"
#include "controls/Panel.h"
#include "controls/PictureButton.h"
#include "controls/ProgressBar.h"
#include "controls/ToggleButton.h"
#include "station/OperatorTexts.h"
#include "station/core/Interview.h"
#include "station/core/WorkstationCheck.h"
#include "station/views/ViewHelpers.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace station {

using controls::StationFont;

namespace {

const int LabelFontHeight = -16;
// Pictures of the check's toggles.
const int MicrophonePicture = 3;
const int PlayPicture = 4;
const int StopPicture = 5;

controls::Panel* CaptionPanel(QWidget* page, int height, const char* caption, int fontHeight,
                              bool bold) {
    auto* panel = new controls::Panel(page, height);
    panel->SetText(QString::fromUtf8(caption));
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

std::string TextOf(const QLineEdit* edit) {
    return edit->text().toStdString();
}

} // namespace

SettingsPage::SettingsPage(QWidget* parent, Interview& interview, WorkstationCheck& check)
    : QWidget(parent), interview_(interview), check_(check) {
    setObjectName(QStringLiteral("settingsPage"));
    images_ = Named(new controls::ImageList(this, 30,
                                            {"accept_button", "add_package", "sound", "microphone",
                                             "control_play_blue", "control_stop_blue"}),
                    "images");
    BuildParameters();
    BuildCheck();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QWidget* panel :
         {introCaption_, parametersCaption_, parametersPanel_, checkCaption_, checkPanel_})
        layout->addWidget(panel);

    regionEdit_->setFocus();
    SetTabChain({regionEdit_, schoolNameEdit_, schoolCodeEdit_, roomEdit_, saveButton_,
                 microphoneToggle_, playbackToggle_, readyButton_});

    saveButton_->onClick = [this](QObject*) { SaveParameters(); };
    readyButton_->onClick = [this](QObject*) { interview_.ConfirmReadiness(); };
    microphoneToggle_->onClick = [this](QObject*) { check_.ToggleMicrophone(); };
    playbackToggle_->onClick = [this](QObject*) { check_.TogglePlayback(); };
    checkSubscription_ = check_.Observers().Subscribe(*this);
}

void SettingsPage::BuildParameters() {
    introCaption_ = Named(CaptionPanel(this, 49, SettingsIntroText, -19, false), "introCaption");
    parametersCaption_ =
        Named(CaptionPanel(this, 48, ParametersCaptionText, -27, true), "parametersCaption");
    parametersPanel_ = Named(new controls::Panel(this, 241), "parametersPanel");
    parametersPanel_->SetBevel(false);
    parametersBlock_ = Named(parametersPanel_->AddContentBlock(241), "parametersBlock");

    schoolBox_ =
        Named(new QGroupBox(QString::fromUtf8(SchoolBoxTitleText), parametersBlock_), "schoolBox");
    schoolBox_->setFont(StationFont(-19));
    schoolBox_->setGeometry(22, 11, 865, 163);
    regionLabel_ = Named(BoldLabel(schoolBox_, 22, 31, RegionLabelText, 140), "regionLabel");
    regionEdit_ = Named(Edit(schoolBox_, 168, 26, 512), "regionEdit");
    schoolNameLabel_ =
        Named(BoldLabel(schoolBox_, 22, 79, SchoolNameLabelText, 140), "schoolNameLabel");
    schoolNameEdit_ = Named(Edit(schoolBox_, 168, 74, 512), "schoolNameEdit");
    schoolCodeLabel_ =
        Named(BoldLabel(schoolBox_, 22, 128, SchoolCodeLabelText, 140), "schoolCodeLabel");
    schoolCodeEdit_ = Named(Edit(schoolBox_, 168, 122, 160), "schoolCodeEdit");
    roomLabel_ = Named(BoldLabel(schoolBox_, 352, 128, RoomLabelText, 170), "roomLabel");
    roomEdit_ = Named(Edit(schoolBox_, 526, 123, 154), "roomEdit");
    NameAfterLabel(regionEdit_, regionLabel_);
    NameAfterLabel(schoolNameEdit_, schoolNameLabel_);
    NameAfterLabel(schoolCodeEdit_, schoolCodeLabel_);
    NameAfterLabel(roomEdit_, roomLabel_);

    saveButton_ = Named(new controls::PictureButton(parametersBlock_, QRect(638, 180, 249, 51),
                                                    QString::fromUtf8(SaveParametersButtonText),
                                                    images_, 0, StationFont(-16, true)),
                        "saveButton");
}

void SettingsPage::BuildCheck() {
    checkCaption_ = Named(CaptionPanel(this, 48, CheckCaptionText, -27, true), "checkCaption");
    checkPanel_ = Named(new controls::Panel(this), "checkPanel");
    checkBlock_ = Named(checkPanel_->AddContentBlock(195), "checkBlock");

    microphoneLabel_ =
        Named(BoldLabel(checkBlock_, 24, 16, CheckMicrophoneLabelText, 270), "microphoneLabel");
    checkGroup_ = new controls::ToggleGroup(this);
    microphoneToggle_ = Named(new controls::ToggleButton(checkBlock_, QRect(304, 10, 41, 41),
                                                         checkGroup_, images_, MicrophonePicture),
                              "microphoneToggle");
    microphoneToggle_->setEnabled(false);
    controls::SetAccessibleCaption(microphoneToggle_,
                                   QString::fromUtf8(CheckMicrophoneButtonCaption));
    playbackLabel_ =
        Named(BoldLabel(checkBlock_, 24, 67, CheckPlaybackLabelText, 270), "playbackLabel");
    playbackToggle_ = Named(new controls::ToggleButton(checkBlock_, QRect(304, 57, 41, 41),
                                                       checkGroup_, images_, PlayPicture),
                            "playbackToggle");
    playbackToggle_->setEnabled(false);
    controls::SetAccessibleCaption(playbackToggle_, QString::fromUtf8(CheckPlaybackButtonCaption));
    levelMeter_ =
        Named(new controls::ProgressBar(checkBlock_, QRect(375, 9, 529, 33)), "levelMeter");
    levelMeter_->hide();
    controls::SetAccessibleCaption(levelMeter_, QString::fromUtf8(LevelMeterCaption));
    readyButton_ = Named(new controls::PictureButton(checkBlock_, QRect(375, 46, 529, 51),
                                                     QString::fromUtf8(ConfirmReadinessButtonText),
                                                     images_, 0, StationFont(-16, true)),
                         "readyButton");
    readyButton_->setEnabled(false);
}

void SettingsPage::SaveParameters() {
    if (!interview_.SaveParameters({.region = TextOf(regionEdit_),
                                    .schoolName = TextOf(schoolNameEdit_),
                                    .schoolCode = TextOf(schoolCodeEdit_),
                                    .room = TextOf(roomEdit_)})) {
        // A refused save withdraws the parameters saved before (the fields no longer show them):
        // readiness waits for a save that succeeds.
        readyButton_->setEnabled(false);
        return;
    }
    microphoneToggle_->setEnabled(true);
    playbackToggle_->setEnabled(true);
    readyButton_->setEnabled(true);
}

void SettingsPage::CheckChanged(const CheckState& state) {
    microphoneToggle_->SetDown(state.microphoneDown);
    microphoneToggle_->SetImageIndex(state.microphoneRunning ? StopPicture : MicrophonePicture);
    playbackToggle_->SetDown(state.playbackDown);
    playbackToggle_->SetImageIndex(state.playbackRunning ? StopPicture : PlayPicture);
    playbackToggle_->setEnabled(state.playbackEnabled);
    levelMeter_->setVisible(state.meterShown);
}

void SettingsPage::LevelChanged(std::int64_t position) {
    levelMeter_->SetPosition(position);
}

} // namespace station
