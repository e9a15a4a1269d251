// The exam page: records the participants one after another and closes the interview. It shows
// what the interview reports.
#pragma once

#include "station/LevelHistory.h"
#include "station/core/ObserverList.h"

#include <QElapsedTimer>
#include <QWidget>

namespace controls {
class ImageList;
class Label;
class LevelStrip;
class Panel;
class PictureButton;
class ProgressBar;
class Timer;
} // namespace controls

namespace station {

class Interview;

class ExamPage : public QWidget, private StationObserver {
public:
    ExamPage(QWidget* parent, Interview& interview);

private:
    void InterviewOpened(const InterviewState& state) override;
    void ParticipantChanged(std::int32_t participant) override;
    void ExamChanged(const ExamState& state) override;
    void ElapsedChanged(platform::DateTime elapsed) override;
    void LevelChanged(std::int64_t position) override;
    void ReportSaved(const SavedReport& report) override;
    void ArchiveWritten(const std::string& archivePath) override;
    void ArchiveReadBack(const ArchiveProof& proof) override;
    void PackingProgressed(const PackingProgress& progress) override;

    Interview& interview_;

    // Pictures: 0 microphone, 1 client_account_template, 2 tick, 3 stop, 4 door_open.
    controls::ImageList* images_;
    controls::Panel* dateCaption_;
    controls::Panel* detailsPanel_;
    QWidget* detailsBlock_;
    controls::Label* regionLabel_;
    controls::Label* schoolLabel_;
    controls::Label* roomLabel_;
    controls::Label* participantLabel_;
    controls::Panel* recordingBanner_;
    controls::Panel* controlsPanel_;
    QWidget* controlsBlock_;
    controls::Label* timerLabel_;
    controls::Label* countLabel_;
    controls::Label* reportLabel_;
    controls::Label* archiveLabel_;
    controls::Label* proofLabel_;       // the archive read back, or why it failed
    controls::ProgressBar* packingBar_; // bytes packed, while the archive is made
    controls::Label* packingLabel_;     // files and megabytes packed of the total
    controls::PictureButton* startButton_;
    controls::PictureButton* nextButton_;
    controls::PictureButton* closeButton_;
    controls::PictureButton* exitButton_; // over the close button
    controls::Panel* meterPanel_;
    QWidget* meterBlock_;
    controls::ProgressBar* levelMeter_;
    // The running answer's last two minutes, repainted only when a second closes.
    controls::LevelStrip* levelStrip_;
    LevelHistory levelHistory_;
    QElapsedTimer answerClock_;       // since the current participant's recording started
    controls::Timer* recordingTimer_; // 1000 ms
    QElapsedTimer closeClicked_;      // since the last click on the close button

    // Declared last: it ends before the widgets go.
    Subscription subscription_;
};

} // namespace station
