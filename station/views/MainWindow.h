// The station's one main window: the banner and the two pages, the parameters-and-check page
// first and the exam page once readiness is confirmed.
#pragma once

#include "station/core/ObserverList.h"

#include <QMainWindow>

class QCloseEvent;
class QLabel;

namespace controls {
class GradientPanel;
class Panel;
class SkinManager;
} // namespace controls

namespace station {

class ExamPage;
class Interview;
class SettingsPage;
class WorkstationCheck;

class MainWindow : public QMainWindow, private StationObserver {
public:
    MainWindow(Interview& interview, WorkstationCheck& check);

protected:
    // While an interview is open, closing asks first and finishes the recording.
    void closeEvent(QCloseEvent* event) override;

private:
    void InterviewOpened(const InterviewState& state) override;

    Interview& interview_;
    controls::SkinManager* skin_;
    controls::GradientPanel* banner_;
    QLabel* titleLabel_;
    QLabel* versionLabel_;
    SettingsPage* settingsPage_;
    controls::Panel* accentStrip_;
    ExamPage* examPage_;

    Subscription subscription_;
};

} // namespace station
