// The station's one main window: the banner, the two pages and the interview state they share.
#pragma once

#include "station/InterviewState.h"

#include <QMainWindow>

class QLabel;
class TfrmExam;
class TfrmSettings;

namespace controls {
class GradientPanel;
class Panel;
class SkinManager;
} // namespace controls

extern const char* const ApplicationTitle; // "Собеседование по русскому языку"

class TfrmMainForm : public QMainWindow, public TInterviewState {
public:
    TfrmMainForm();
    ~TfrmMainForm() override;

    controls::SkinManager* sknmngr1;
    controls::GradientPanel* sgr1;
    QLabel* lbl1;
    QLabel* lbl2;
    TfrmSettings* frmSettings;
    controls::Panel* spnl2;
    TfrmExam* frmExam;

    // Forwarders wired to the pages' buttons: they pass the sender on and do nothing else.
    void frmSettingsbtnSaveParamClick(QObject* Sender);
    // The check's toggles (frmSettingsbtnCheckMicrClick, frmSettingsbtnCheckRecordClick), the
    // playback routines and handles (StopPlayback, PlayFile, PlayEndSync, PlayStream, PlaySync) and
    // the forwarder frmExambtnNextClick belong here.

private:
    void FormCreate();
    void FormDestroy();
};

// The main window while it exists.
extern TfrmMainForm* frmMainForm;
