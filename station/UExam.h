// The exam page: records the participants one after another and closes the interview.
#pragma once

#include "station/InterviewState.h"

#include <QWidget>

class TfrmMainForm;

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

    // The exam's recording chain (dxdn1 -> GainIndicator1 -> mp3t1) and the recording handlers
    // (btnRecordClick, tmr1Timer, btnNextClick, GainIndicator1GainData, mp3t1Done) belong here;
    // the close handlers btnEndClick and btn1Click live in UExamClose.cpp.

    TfrmMainForm& MainForm;
};
