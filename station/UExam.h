// The exam page: records the participants one after another and closes the interview.
#pragma once

#include "audio/AudioCapture.h"
#include "audio/AudioIndicators.h"
#include "audio/AudioMP3.h"
#include "station/InterviewState.h"

#include <QWidget>

#include <memory>

class TfrmMainForm;

namespace archive {
class TCompressArchive;
} // namespace archive

namespace controls {
class ImageList;
class Label;
class Panel;
class PictureButton;
class ProgressBar;
class Timer;
} // namespace controls

// The recording time of the current participant.
extern TDateTime ElapsedTime;

class TfrmExam : public QWidget {
public:
    TfrmExam(QWidget* parent, TfrmMainForm& MainForm);
    ~TfrmExam() override;

    // Pictures: 0 microphone, 1 client_account_template, 2 tick, 3 stop, 4 door_open.
    controls::ImageList* slphmglst1;

    controls::Panel* spnlPredm; // date caption
    controls::Panel* spnl2;
    QWidget* spnl7;
    controls::Label* lblRegion;
    controls::Label* lblOU;
    controls::Label* lblAUD;
    controls::Label* lblMember;
    controls::Panel* spnl3; // "Идёт запись ..." while recording
    controls::Panel* spnl4;
    QWidget* spnl5;
    controls::Label* lblTimer;
    controls::Label* lblCount;
    controls::Label* lblReport;
    controls::Label* lblArchive;
    controls::PictureButton* btnRecord; // "Начать запись"
    controls::PictureButton* btnNext; // "Следующий участник"; OnClick wired by the main window
    controls::PictureButton* btnEnd; // "Завершить собеседование"
    controls::PictureButton* btn1;   // "Выйти из программы", over btnEnd
    controls::Panel* spnl8;
    QWidget* spnl9;
    controls::ProgressBar* sprgrsbr1; // level meter
    controls::Timer* tmr1;            // 1000 ms, starts disabled

    // The exam's recording chain, created with the page. mp3t1 comes last so that it is destroyed
    // first: a running recording is finished while its inputs still exist.
    audio::TComponentPtr<audio::TDSAudioIn> dxdn1;
    audio::TComponentPtr<audio::TGainIndicator> GainIndicator1;
    audio::TComponentPtr<audio::TMP3Out> mp3t1;

    // Recording (UExamRecording.cpp). "Начать запись": records participant MemberNo.
    void btnRecordClick(QObject* Sender);
    void tmr1Timer(QObject* Sender);
    // "Следующий участник", after "Вы уверены?": finishes the current file, starts the next.
    void btnNextClick(QObject* Sender);
    void GainIndicator1GainData(audio::TComponent* Sender);
    // Runs on mp3t1's worker after each file is closed: the file's report line.
    void mp3t1Done(audio::TComponent* Sender);
    // A recording that failed: "Ошибка записи: " + the reason, and "Ошибка записи!" on spnl3.
    void mp3t1ThreadException(audio::TComponent* Sender);
    // Stops mp3t1 synchronously (the file is complete and its line appended on return) and shows
    // a failure of that recording that its own event could no longer report.
    void StopRecording();

    // The interview close (UExamClose.cpp). "Завершить собеседование": finishes the recording,
    // saves the report and packs the interview folder into the zip archive on the Desktop.
    void btnEndClick(QObject* Sender);
    // "Выйти из программы": ends the program.
    void btn1Click(QObject* Sender);
    // The archive while it is being written; empty before and after. Shared only so that this
    // header needs no archive header.
    std::shared_ptr<archive::TCompressArchive> ZipArchive;

    TfrmMainForm& MainForm;

private:
    // Creates the recording chain and wires the recording handlers (UExamRecording.cpp).
    void CreateRecording();
    // Wires the close handlers (UExamClose.cpp).
    void CreateClose();
    // Starts recording participant MemberNo into its file.
    void StartRecording();
    void ShowRecordingFailure(const std::string& Reason);

    bool FFailureReported = false;    // the running pass's failure has been shown
    bool FBannerShowsFailure = false; // spnl3 reads "Ошибка записи!"
};
