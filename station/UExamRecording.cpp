// The exam page's recording: the chain, the start, the timer, the next participant, the meter and
// each finished file's report line.
#include "audio/AudioCapture.h"
#include "audio/AudioIndicators.h"
#include "audio/AudioMP3.h"
#include "controls/Label.h"
#include "controls/Panel.h"
#include "controls/PictureButton.h"
#include "controls/ProgressBar.h"
#include "controls/Timer.h"
#include "platform/MessageBox.h"
#include "station/Naming.h"
#include "station/RecordingChain.h"
#include "station/Report.h"
#include "station/TimerText.h"
#include "station/UExam.h"
#include "station/UMainForm.h"

namespace {

const char* const RecordingBanner = "Идёт запись ...";

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

TfrmExam::~TfrmExam() {
    // Finished here, while the page and its chain are whole: the done handler reads mp3t1, and the
    // meter events delivered during the wait reach the page's controls.
    if (mp3t1)
        mp3t1->Stop(false);
}

void TfrmExam::CreateRecording() {
    CreateRecordingChain(ExamChainSettings(), dxdn1, GainIndicator1, mp3t1);
    GainIndicator1->OnGainData = [this](audio::TComponent* Sender) {
        GainIndicator1GainData(Sender);
    };
    mp3t1->OnSyncDone = [this](audio::TComponent* Sender) { mp3t1Done(Sender); };
    mp3t1->OnThreadException = [this](audio::TComponent* Sender) { mp3t1ThreadException(Sender); };
    btnRecord->OnClick = [this](QObject* Sender) { btnRecordClick(Sender); };
    tmr1->OnTimer = [this](QObject* Sender) { tmr1Timer(Sender); };
}

void TfrmExam::btnRecordClick(QObject*) {
    sprgrsbr1->show();
    btnRecord->setEnabled(false);
    spnl3->setText(Text(RecordingBanner));
    FBannerShowsFailure = false;
    btnNext->setEnabled(true);
    btnEnd->setEnabled(true);
    ElapsedTime = 0;
    lblTimer->setText(Text(TimerText(ElapsedTime)));
    tmr1->SetEnabled(true);
    StartRecording();
}

void TfrmExam::tmr1Timer(QObject*) {
    ElapsedTime = AddOneSecond(ElapsedTime);
    lblTimer->setText(Text(TimerText(ElapsedTime)));
}

void TfrmExam::btnNextClick(QObject*) {
    const platform::MessageResult answer =
        platform::ShowMessageBox({.text = "Вы уверены?",
                                  .caption = "Подтверждение",
                                  .icon = platform::MessageIcon::Question,
                                  .buttons = platform::MessageButtons::OkCancel});
    if (answer != platform::MessageResult::Ok)
        return;
    ElapsedTime = 0;
    lblTimer->setText(Text(TimerText(ElapsedTime)));
    mp3t1->Stop(false);
    // A failure while the finished pass was being stopped has no event of its own any more; it is
    // shown once the next participant is already being recorded.
    const std::string missedFailure = FFailureReported ? std::string() : mp3t1->ExceptionText();
    ++MainForm.MemberNo;
    StartRecording();
    btnRecord->setEnabled(false);
    lblMember->setText(Text("Участник - " + std::to_string(MainForm.MemberNo)));
    btnNext->setEnabled(true);
    if (!missedFailure.empty())
        ShowRecordingFailure(missedFailure);
}

void TfrmExam::StopRecording() {
    mp3t1->Stop(false);
    if (!FFailureReported && !mp3t1->ExceptionText().empty()) {
        FFailureReported = true;
        ShowRecordingFailure(mp3t1->ExceptionText());
    }
}

void TfrmExam::StartRecording() {
    mp3t1->SetFileName(RecordingFileName(MainForm.InterviewDir, MainForm.MemberNo));
    FFailureReported = false;
    mp3t1->Run();
}

void TfrmExam::GainIndicator1GainData(audio::TComponent*) {
    ShowGainOnMeter(*sprgrsbr1, *GainIndicator1);
    // Audio flowing through a pass that opened without failure ends the failure banner.
    if (FBannerShowsFailure && !FFailureReported && mp3t1->Prepared()) {
        FBannerShowsFailure = false;
        spnl3->setText(Text(RecordingBanner));
    }
}

void TfrmExam::mp3t1Done(audio::TComponent*) {
    AddRecordingLine(MainForm, mp3t1->FileName());
}

void TfrmExam::mp3t1ThreadException(audio::TComponent*) {
    FFailureReported = true;
    ShowRecordingFailure(mp3t1->ExceptionText());
}

void TfrmExam::ShowRecordingFailure(const std::string& Reason) {
    FBannerShowsFailure = true;
    spnl3->setText(Text("Ошибка записи!"));
    platform::ShowMessage("Ошибка записи: " + Reason);
}
