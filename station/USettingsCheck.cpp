// The check page's own part of the workstation check: its recording chain, its meter and what a
// failed test recording shows. The toggles themselves are the main window's (UMainFormCheck.cpp).
#include "audio/AudioCapture.h"
#include "audio/AudioIndicators.h"
#include "audio/AudioMP3.h"
#include "controls/ProgressBar.h"
#include "controls/ToggleButton.h"
#include "platform/MessageBox.h"
#include "station/RecordingChain.h"
#include "station/USettings.h"

void TfrmSettings::CreateCheckRecording() {
    CreateRecordingChain(CheckChainSettings(), dxdn1, GainIndicator1, mp3t1);
    GainIndicator1->OnGainData = [this](audio::TComponent* Sender) {
        GainIndicator1GainData(Sender);
    };
    mp3t1->OnThreadException = [this](audio::TComponent* Sender) { mp3t1ThreadException(Sender); };
}

TfrmSettings::~TfrmSettings() {
    // A test recording still running is finished while the page's meter can take its events.
    if (mp3t1)
        mp3t1->Stop(false);
}

void TfrmSettings::GainIndicator1GainData(audio::TComponent*) {
    ShowGainOnMeter(*sprgrsbr1, *GainIndicator1);
}

void TfrmSettings::mp3t1ThreadException(audio::TComponent*) {
    // The failed pass has ended by itself: the check is idle again.
    btnCheckMicr->SetDown(false);
    btnCheckMicr->SetImageIndex(3);
    sprgrsbr1->hide();
    btnCheckRecord->setEnabled(true);
    platform::ShowMessage("Ошибка проверки микрофона: " + mp3t1->ExceptionText());
}
