#include "station/views/MainWindow.h"

#include "controls/GradientPanel.h"
#include "controls/Look.h"
#include "controls/Panel.h"
#include "station/OperatorTexts.h"
#include "station/core/Interview.h"
#include "station/views/ExamPage.h"
#include "station/views/SettingsPage.h"
#include "station/views/ViewHelpers.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace station {

namespace {

QLabel* BannerLabel(QWidget* banner, const char* text, int fontHeight, bool bold,
                    Qt::Alignment alignment) {
    auto* label = new QLabel(QString::fromUtf8(text), banner);
    label->setFont(controls::StationFont(fontHeight, bold));
    label->setAlignment(alignment);
    // White on the gradient whatever the look's colours are.
    label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    return label;
}

} // namespace

MainWindow::MainWindow(Interview& interview, WorkstationCheck& check) : interview_(interview) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QString::fromUtf8(ApplicationTitle));
    setGeometry(192, 125, 1305, 675);
    setWindowState(Qt::WindowMaximized);

    skin_ = new controls::SkinManager(this);
    setFont(controls::StationFont(-11));
    auto* client = new QWidget(this);
    setCentralWidget(client);

    banner_ = Named(new controls::GradientPanel(client, 90, QColor(9, 166, 29), QColor(0, 128, 0)),
                    "banner");
    titleLabel_ =
        Named(BannerLabel(banner_, BannerTitleText, -27, false, Qt::AlignHCenter | Qt::AlignBottom),
              "titleLabel");
    titleLabel_->setFixedHeight(48);
    versionLabel_ =
        Named(BannerLabel(banner_, BannerVersionText, -16, true, Qt::AlignCenter), "versionLabel");
    auto* bannerLayout = new QVBoxLayout(banner_);
    bannerLayout->setContentsMargins(0, 0, 0, 0);
    bannerLayout->setSpacing(0);
    bannerLayout->addWidget(titleLabel_);
    bannerLayout->addWidget(versionLabel_, 1);

    settingsPage_ = new SettingsPage(client, interview, check);
    accentStrip_ = Named(new controls::Panel(client, 3), "accentStrip");
    accentStrip_->SetBevel(false);
    accentStrip_->SetColor(controls::AccentColor());
    examPage_ = new ExamPage(client, interview);
    examPage_->hide();

    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(banner_);
    layout->addWidget(accentStrip_);
    // Only one page is visible at a time, so the shown one takes the whole rest of the window.
    layout->addWidget(settingsPage_, 1);
    layout->addWidget(examPage_, 1);

    subscription_ = interview_.Observers().Subscribe(*this);
}

void MainWindow::InterviewOpened(const InterviewState&) {
    // There is no way back to the parameters page.
    settingsPage_->hide();
    examPage_->show();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!interview_.MayQuit()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

} // namespace station
