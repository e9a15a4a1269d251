// The workstation check's toggles and the test playback, the forwarder of the exam page's next
// button, and the confirmation that guards an interview against an early close of the window.
#include "audio/AudioMP3.h"
#include "controls/PictureButton.h"
#include "controls/ProgressBar.h"
#include "controls/ToggleButton.h"
#include "platform/GuiHandover.h"
#include "platform/MessageBox.h"
#include "station/Naming.h"
#include "station/UExam.h"
#include "station/UMainForm.h"
#include "station/USettings.h"

#include <QCloseEvent>

platform::HSTREAM PlayStream = 0;
platform::HSYNC PlaySync = 0;

namespace {

// Pictures of the check's toggles.
const int MicrophoneIdlePicture = 3;
const int PlaybackIdlePicture = 4;
const int RunningTestPicture = 5;

} // namespace

void TfrmMainForm::WireCheckHandlers() {
    frmSettings->btnCheckMicr->OnClick = [this](QObject* Sender) {
        frmSettingsbtnCheckMicrClick(Sender);
    };
    frmSettings->btnCheckRecord->OnClick = [this](QObject* Sender) {
        frmSettingsbtnCheckRecordClick(Sender);
    };
    frmExam->btnNext->OnClick = [this](QObject* Sender) { frmExambtnNextClick(Sender); };
    // The exam's files are reported by the done handler on the worker, once per recording.
    frmExam->mp3t1->OnDone = nullptr;
}

void TfrmMainForm::frmExambtnNextClick(QObject* Sender) {
    frmExam->btnNextClick(Sender);
}

void TfrmMainForm::StopPlayback(platform::HSYNC Sync, platform::HSTREAM Stream) {
    if (frmSettings->mp3t1->Status() == audio::TOutputStatus::tosPlaying) {
        frmSettings->mp3t1->Stop(true);
        frmSettings->btnCheckMicr->SetImageIndex(MicrophoneIdlePicture);
    }
    platform::BASS_ChannelRemoveSync(Stream, Sync);
    platform::BASS_StreamFree(Stream);
    PlayStream = 0;
    PlaySync = 0;
    frmSettings->btnCheckRecord->SetImageIndex(PlaybackIdlePicture);
}

void TfrmMainForm::PlayFile(const std::string& FileName, platform::SYNCPROC* Callback) {
    if (PlayStream != 0) {
        platform::BASS_ChannelRemoveSync(PlayStream, PlaySync);
        platform::BASS_StreamFree(PlayStream);
    }
    PlayStream = platform::BASS_StreamCreateFile(false, FileName.c_str(), 0, 0, 0);
    platform::BASS_ChannelPlay(PlayStream, false);
    PlaySync =
        platform::BASS_ChannelSetSync(PlayStream, platform::BASS_SYNC_END, 0, Callback, nullptr);
}

void PlayEndSync(platform::HSYNC Handle, platform::DWORD Channel, platform::DWORD, void*) {
    // The handles and the pictures belong to the GUI thread. By the time it runs this, the operator
    // may already have released the ended stream or started another one; only the stream that is
    // still the current one is released here.
    platform::Synchronize([Handle, Channel] {
        if (frmMainForm != nullptr && PlayStream == Channel)
            frmMainForm->StopPlayback(Handle, Channel);
    });
}

void TfrmMainForm::frmSettingsbtnCheckMicrClick(QObject*) {
    StopPlayback(PlaySync, PlayStream);
    frmSettings->btnCheckRecord->SetDown(false);
    frmSettings->sprgrsbr1->SetPosition(0);
    if (frmSettings->btnCheckMicr->Down()) {
        frmSettings->mp3t1->SetFileName(TestRecordingFileName());
        frmSettings->mp3t1->Run();
        frmSettings->sprgrsbr1->show();
        frmSettings->btnCheckMicr->SetImageIndex(RunningTestPicture);
        frmSettings->btnCheckRecord->setEnabled(false);
    } else {
        frmSettings->mp3t1->Stop(true);
        frmSettings->sprgrsbr1->hide();
        frmSettings->btnCheckMicr->SetImageIndex(MicrophoneIdlePicture);
        frmSettings->btnCheckRecord->setEnabled(true);
    }
}

void TfrmMainForm::frmSettingsbtnCheckRecordClick(QObject*) {
    frmSettings->btnCheckMicr->SetDown(false);
    if (frmSettings->btnCheckRecord->Down()) {
        StopPlayback(PlaySync, PlayStream);
        frmSettings->mp3t1->Stop(true);
        frmSettings->sprgrsbr1->hide();
        frmSettings->btnCheckMicr->SetImageIndex(MicrophoneIdlePicture);
        frmSettings->btnCheckRecord->SetImageIndex(RunningTestPicture);
        PlayFile(TestRecordingFileName(), PlayEndSync);
    } else {
        StopPlayback(PlaySync, PlayStream);
    }
}

void TfrmMainForm::closeEvent(QCloseEvent* event) {
    const bool interviewOpen = !frmExam->isHidden() && !frmExam->btnEnd->isHidden();
    if (interviewOpen) {
        const platform::MessageResult answer =
            platform::ShowMessageBox({.text = "Собеседование не завершено. Выйти из программы?",
                                      .icon = platform::MessageIcon::Question,
                                      .buttons = platform::MessageButtons::OkCancel});
        if (answer != platform::MessageResult::Ok) {
            event->ignore();
            return;
        }
        // The participant's file must be complete before anything is torn down.
        frmExam->StopRecording();
    }
    QMainWindow::closeEvent(event);
}
