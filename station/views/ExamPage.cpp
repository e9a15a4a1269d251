#include "station/views/ExamPage.h"

#include "controls/Accessibility.h"
#include "controls/ImageList.h"
#include "controls/Label.h"
#include "controls/LevelStrip.h"
#include "controls/Look.h"
#include "controls/Panel.h"
#include "controls/PictureButton.h"
#include "controls/ProgressBar.h"
#include "controls/Timer.h"
#include "station/OperatorTexts.h"
#include "station/TimerText.h"
#include "station/core/Interview.h"
#include "station/safeguards/SilenceWatch.h"
#include "station/views/ViewHelpers.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStyleHints>
#include <QVBoxLayout>

namespace station {

using controls::StationFont;

namespace {

controls::Label* CaptionLabel(QWidget* block, int x, int y, int fontHeight, bool bold,
                              int width = 0) {
    return new controls::Label(block, x, y, QString(), StationFont(fontHeight, bold), width);
}

const char* BannerText(RecordingBanner banner) {
    switch (banner) {
    case RecordingBanner::Recording:
        return RecordingBannerText;
    case RecordingBanner::Failed:
        return RecordingFailedBannerText;
    case RecordingBanner::NoSignal:
        return NoSignalText;
    case RecordingBanner::LowSpace:
        return LowSpaceText;
    case RecordingBanner::Packing:
        return PackingBannerText;
    case RecordingBanner::None:
        break;
    }
    return "";
}

} // namespace

ExamPage::ExamPage(QWidget* parent, Interview& interview) : QWidget(parent), interview_(interview) {
    setObjectName(QStringLiteral("examPage"));
    images_ =
        Named(new controls::ImageList(
                  this, 32, {"microphone", "client_account_template", "tick", "stop", "door_open"}),
              "images");

    dateCaption_ = Named(new controls::Panel(this, 49), "dateCaption");
    dateCaption_->setFont(StationFont(-19));

    detailsPanel_ = Named(new controls::Panel(this, 180), "detailsPanel");
    detailsBlock_ = Named(detailsPanel_->AddContentBlock(166), "detailsBlock");
    regionLabel_ = Named(CaptionLabel(detailsBlock_, 16, 7, -19, false), "regionLabel");
    schoolLabel_ = Named(CaptionLabel(detailsBlock_, 16, 45, -19, false), "schoolLabel");
    roomLabel_ = Named(CaptionLabel(detailsBlock_, 16, 84, -19, false), "roomLabel");
    participantLabel_ = Named(CaptionLabel(detailsBlock_, 16, 122, -19, false), "participantLabel");

    recordingBanner_ = Named(new controls::Panel(this, 40), "recordingBanner");
    recordingBanner_->setFont(StationFont(-19, true));
    // The banner tells the recording's state and its warnings: a screen reader reads out each
    // change.
    recordingBanner_->SetStatus(true);

    controlsPanel_ = Named(new controls::Panel(this), "controlsPanel");
    controlsBlock_ = Named(controlsPanel_->AddContentBlock(229), "controlsBlock");
    // The captions left of the buttons end where the buttons begin; the two lines below the buttons
    // may take the whole block.
    timerLabel_ = Named(CaptionLabel(controlsBlock_, 18, 20, -40, false, 555), "timerLabel");
    countLabel_ = Named(CaptionLabel(controlsBlock_, 21, 12, -19, false, 552), "countLabel");
    reportLabel_ = Named(CaptionLabel(controlsBlock_, 21, 168, -13, true), "reportLabel");
    archiveLabel_ = Named(CaptionLabel(controlsBlock_, 21, 191, -13, true), "archiveLabel");
    proofLabel_ = Named(CaptionLabel(controlsBlock_, 21, 210, -13, true), "proofLabel");
    packingBar_ =
        Named(new controls::ProgressBar(controlsBlock_, QRect(21, 60, 552, 26)), "packingBar");
    packingLabel_ = Named(CaptionLabel(controlsBlock_, 21, 92, -13, false, 552), "packingLabel");
    const QFont buttonFont = StationFont(-19);
    startButton_ = Named(new controls::PictureButton(controlsBlock_, QRect(579, 14, 314, 43),
                                                     QString::fromUtf8(StartRecordingButtonText),
                                                     images_, 0, buttonFont),
                         "startButton");
    nextButton_ = Named(new controls::PictureButton(controlsBlock_, QRect(581, 74, 314, 43),
                                                    QString::fromUtf8(NextParticipantButtonText),
                                                    images_, 1, buttonFont),
                        "nextButton");
    closeButton_ = Named(new controls::PictureButton(controlsBlock_, QRect(581, 133, 313, 43),
                                                     QString::fromUtf8(CloseInterviewButtonText),
                                                     images_, 2, buttonFont),
                         "closeButton");
    exitButton_ = Named(new controls::PictureButton(controlsBlock_, QRect(582, 132, 313, 43),
                                                    QString::fromUtf8(QuitButtonText), images_, 4,
                                                    buttonFont),
                        "exitButton");

    meterPanel_ = Named(new controls::Panel(this, 110), "meterPanel");
    meterBlock_ = Named(meterPanel_->AddContentBlock(56), "meterBlock");
    levelMeter_ =
        Named(new controls::ProgressBar(meterBlock_, QRect(8, 12, 898, 33)), "levelMeter");
    controls::SetAccessibleCaption(levelMeter_, QString::fromUtf8(LevelMeterCaption));
    levelStrip_ =
        Named(new controls::LevelStrip(meterPanel_->AddContentBlock(44), QRect(8, 2, 898, 38),
                                       static_cast<int>(LevelHistory::Seconds), SilentLevel),
              "levelStrip");

    recordingTimer_ = Named(new controls::Timer(this, 1000), "recordingTimer");

    // The exit button takes the close button's place once the interview is closed.
    SetTabChain({startButton_, nextButton_, closeButton_, exitButton_});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QWidget* panel :
         {dateCaption_, detailsPanel_, recordingBanner_, controlsPanel_, meterPanel_})
        layout->addWidget(panel);

    startButton_->onClick = [this](QObject*) { interview_.StartRecording(); };
    nextButton_->onClick = [this](QObject*) { interview_.NextParticipant(); };
    closeButton_->onClick = [this](QObject*) {
        closeClicked_.start();
        interview_.Close();
    };
    exitButton_->onClick = [this](QObject*) {
        // The exit button takes the close button's place: the second click of a double click on
        // "Завершить собеседование" would land on it and end the program unasked.
        if (closeClicked_.isValid() &&
            closeClicked_.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval())
            return;
        QCoreApplication::quit();
    };
    recordingTimer_->onTimer = [this](QObject*) { interview_.Tick(); };
    ExamChanged(interview_.Exam());
    subscription_ = interview_.Observers().Subscribe(*this);
}

void ExamPage::InterviewOpened(const InterviewState& state) {
    dateCaption_->SetText(
        Text(ExamDateCaption(platform::FormatDateTime("dd.mm.yyyy", state.examDate))));
    regionLabel_->setText(Text(state.region));
    schoolLabel_->setText(Text(state.schoolCode6 + " - " + state.schoolName));
    roomLabel_->setText(Text(RoomCaption(state.room3)));
    participantLabel_->setText(Text(ParticipantCaption(state.participant)));
    countLabel_->clear();
    archiveLabel_->clear();
    reportLabel_->clear();
    proofLabel_->clear();
}

void ExamPage::ParticipantChanged(std::int32_t participant) {
    participantLabel_->setText(Text(ParticipantCaption(participant)));
}

void ExamPage::ExamChanged(const ExamState& state) {
    // While an operation runs (its box may be open) the page offers no other one: assistive
    // technology could press a button that the modal box covers.
    const bool free = !state.operationRunning;
    startButton_->setEnabled(free && state.startEnabled);
    nextButton_->setEnabled(free && state.nextEnabled);
    closeButton_->setEnabled(free);
    exitButton_->setEnabled(free);
    closeButton_->setVisible(state.closeShown);
    exitButton_->setVisible(state.exitShown);
    levelMeter_->setVisible(state.meterShown);
    levelStrip_->setVisible(state.meterShown);
    timerLabel_->setVisible(state.timerShown);
    // Once started the timer keeps its own rhythm; enabling it again does not restart it.
    recordingTimer_->SetEnabled(state.timerRunning);
    // A loss stays named beside whatever else the banner says, until the next participant.
    std::string banner = BannerText(state.banner);
    if (state.lostAudio > std::chrono::milliseconds(0))
        banner += AudioLostBannerText(state.lostAudio);
    recordingBanner_->SetText(Text(banner));
    const bool packing = state.banner == RecordingBanner::Packing;
    packingBar_->setVisible(packing);
    packingLabel_->setVisible(packing);
    if (packing) {
        packingBar_->SetPosition(0);
        packingLabel_->clear();
    }
}

void ExamPage::ElapsedChanged(platform::DateTime elapsed) {
    timerLabel_->setText(Text(TimerText(elapsed)));
    // The timer goes back to zero exactly when a participant's recording starts.
    if (elapsed == 0) {
        levelHistory_.Restart();
        answerClock_.start();
        levelStrip_->SetBars(levelHistory_.Bars());
    }
}

void ExamPage::LevelChanged(std::int64_t position) {
    levelMeter_->SetPosition(position);
    if (answerClock_.isValid() && levelHistory_.Add(position, answerClock_.elapsed()))
        levelStrip_->SetBars(levelHistory_.Bars());
}

void ExamPage::ReportSaved(const SavedReport& report) {
    reportLabel_->setText(Text(ReportSavedCaption(report.fileName)));
    countLabel_->setText(Text(ParticipantCountCaption(report.participants)));
    proofLabel_->clear();
}

void ExamPage::ArchiveWritten(const std::string& archivePath) {
    archiveLabel_->setText(Text(ArchiveCaption(archivePath)));
}

void ExamPage::ArchiveReadBack(const ArchiveProof& proof) {
    proofLabel_->setText(Text(proof.text));
}

void ExamPage::PackingProgressed(const PackingProgress& progress) {
    const auto percent =
        progress.bytesTotal == 0
            ? 100
            : static_cast<long long>(progress.bytesDone * 100 / progress.bytesTotal);
    packingBar_->SetPosition(percent);
    const auto megabytes = [](std::uint64_t bytes) {
        return QString::number(static_cast<double>(bytes) / 1e6, 'f', 1);
    };
    packingLabel_->setText(QString::fromUtf8(PackingProgressPattern)
                               .arg(progress.filesDone)
                               .arg(progress.filesTotal)
                               .arg(megabytes(progress.bytesDone), megabytes(progress.bytesTotal)));
}

} // namespace station
