// The parameters-and-check page: takes the interview's parameters, holds the workstation check and
// confirms the workstation's readiness. It shows what the interview and the check report.
#pragma once

#include "station/core/ObserverList.h"

#include <QWidget>

class QGroupBox;
class QLineEdit;

namespace controls {
class ImageList;
class Label;
class Panel;
class PictureButton;
class ProgressBar;
class ToggleButton;
class ToggleGroup;
} // namespace controls

namespace station {

class Interview;
class WorkstationCheck;

class SettingsPage : public QWidget, private StationObserver {
public:
    SettingsPage(QWidget* parent, Interview& interview, WorkstationCheck& check);

private:
    void BuildParameters();
    void BuildCheck();
    void SaveParameters();
    void CheckChanged(const CheckState& state) override;
    void LevelChanged(std::int64_t position) override;

    Interview& interview_;
    WorkstationCheck& check_;

    // Pictures: 0 accept_button, 1 add_package, 2 sound, 3 microphone, 4 control_play_blue,
    // 5 control_stop_blue.
    controls::ImageList* images_;
    controls::Panel* introCaption_;
    controls::Panel* parametersCaption_;
    controls::Panel* parametersPanel_;
    QWidget* parametersBlock_;
    QGroupBox* schoolBox_;
    controls::Label* regionLabel_;
    QLineEdit* regionEdit_;
    controls::Label* schoolNameLabel_;
    QLineEdit* schoolNameEdit_;
    controls::Label* schoolCodeLabel_;
    QLineEdit* schoolCodeEdit_;
    controls::Label* roomLabel_;
    QLineEdit* roomEdit_;
    controls::PictureButton* saveButton_;

    controls::Panel* checkCaption_;
    controls::Panel* checkPanel_;
    QWidget* checkBlock_;
    controls::Label* microphoneLabel_;
    controls::ToggleGroup* checkGroup_;
    controls::ToggleButton* microphoneToggle_;
    controls::Label* playbackLabel_;
    controls::ToggleButton* playbackToggle_;
    controls::ProgressBar* levelMeter_;
    controls::PictureButton* readyButton_;

    // Declared last: it ends before the widgets go.
    Subscription checkSubscription_;
};

} // namespace station
