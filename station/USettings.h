// The parameters-and-check page: takes the interview's parameters, holds the workstation check and
// confirms the workstation's readiness.
#pragma once

#include "audio/AudioCapture.h"
#include "audio/AudioIndicators.h"
#include "audio/AudioMP3.h"

#include <QWidget>

class QGroupBox;
class QLineEdit;
class TfrmMainForm;

namespace controls {
class ImageList;
class Label;
class Panel;
class PictureButton;
class ProgressBar;
class ToggleButton;
class ToggleGroup;
} // namespace controls

class TfrmSettings : public QWidget {
public:
    TfrmSettings(QWidget* parent, TfrmMainForm& MainForm);
    ~TfrmSettings() override;

    // Pictures: 0 accept_button, 1 add_package, 2 sound, 3 microphone, 4 control_play_blue,
    // 5 control_stop_blue.
    controls::ImageList* slphmglst1;

    controls::Panel* spnlMain;
    controls::Panel* spnl3;
    controls::Panel* spnl5;
    QWidget* spnl7;
    QGroupBox* grp1;
    controls::Label* lbl1;
    QLineEdit* edtRegion;
    controls::Label* lbl2;
    QLineEdit* edtNameOU;
    controls::Label* lbl9;
    QLineEdit* edtKodOU;
    controls::Label* lbl3;
    QLineEdit* edtAud;
    controls::PictureButton* btnSaveParam; // OnClick wired by the main window

    controls::Panel* spnl6;
    controls::Panel* spnl4;
    QWidget* spnl8;
    controls::Label* lbl4;
    controls::ToggleGroup* CheckGroup;    // group of btnCheckMicr and btnCheckRecord
    controls::ToggleButton* btnCheckMicr; // OnClick wired by the main window
    controls::Label* lbl5;
    controls::ToggleButton* btnCheckRecord; // OnClick wired by the main window
    controls::ProgressBar* sprgrsbr1;
    controls::PictureButton* btnWorkOK;

    // The check's recording chain, created with the page (USettingsCheck.cpp); mp3t1 is destroyed
    // first. Its file is the test recording.
    audio::TComponentPtr<audio::TDSAudioIn> dxdn1;
    audio::TComponentPtr<audio::TGainIndicator> GainIndicator1;
    audio::TComponentPtr<audio::TMP3Out> mp3t1;

    void GainIndicator1GainData(audio::TComponent* Sender);
    // A test recording that failed: "Ошибка проверки микрофона: " + the reason, and the check
    // returns to its idle state.
    void mp3t1ThreadException(audio::TComponent* Sender);

    // "Сохранить параметры": checks and stores the four parameters.
    void btnSaveParamClick(QObject* Sender);
    // "Подтвердить готовность рабочего места к экзамену": creates the interview folder, starts the
    // report and switches to the exam page.
    void btnWorkOKClick(QObject* Sender);

private:
    void BuildParameters();
    void BuildCheck();
    // Creates the check's chain and wires its handlers (USettingsCheck.cpp).
    void CreateCheckRecording();

    TfrmMainForm& MainForm;
};
