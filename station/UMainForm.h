// The station's one main window: the banner, the two pages and the interview state they share.
#pragma once

#include "platform/Playback.h"
#include "station/InterviewState.h"

#include <QMainWindow>

class QCloseEvent;
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
    void frmExambtnNextClick(QObject* Sender);

    // The workstation check (UMainFormCheck.cpp): the microphone test and the playback test
    // toggles of frmSettings.
    void frmSettingsbtnCheckMicrClick(QObject* Sender);
    void frmSettingsbtnCheckRecordClick(QObject* Sender);
    // Ends the microphone test (asynchronously) and releases the test playback; the buttons' up or
    // down state is not touched.
    void StopPlayback(platform::HSYNC Sync, platform::HSTREAM Stream);
    // Plays FileName; Callback is called on the playback library's thread at the end.
    void PlayFile(const std::string& FileName, platform::SYNCPROC* Callback);

protected:
    // While an interview is being recorded, closing asks first and finishes the recording.
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void WireCheckHandlers();
};

// The main window while it exists.
extern TfrmMainForm* frmMainForm;

// The test playback's stream and its end sync; 0 when nothing plays. GUI thread only.
extern platform::HSTREAM PlayStream;
extern platform::HSYNC PlaySync;

// The end-of-playback sync: called on the playback library's thread, it hands StopPlayback for the
// ended stream to the GUI thread.
void PlayEndSync(platform::HSYNC Handle, platform::DWORD Channel, platform::DWORD Data, void* User);
