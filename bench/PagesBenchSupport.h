// What the station's benchmarks share: the real main window on a private Desktop, brought to the
// exam page, with message boxes answered OK (and the moment of each answer kept), and running the
// GUI for a while.
#pragma once

#include "controls/PictureButton.h"
#include "platform/MessageBox.h"
#include "platform/qt/GuardedApplication.h"
#include "platform/qt/GuiHandoverPump.h"
#include "platform/testing/TemporaryDesktop.h"
#include "station/UExam.h"
#include "station/UMainForm.h"
#include "station/USettings.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace pagesbench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

inline bool PumpUntil(const std::function<bool()>& done, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (Clock::now() >= end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Runs the event loop for `seconds`, sleeping while nothing happens, as the program's own loop
// does.
inline void Pump(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

// A line of /proc/self/status such as "VmRSS:" in kB.
inline long StatusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string name;
    long value = 0;
    std::string unit;
    while (status >> name) {
        if (name == field) {
            status >> value;
            return value;
        }
        std::getline(status, unit);
    }
    return -1;
}

// The station's window on a temporary Desktop, on the exam page; every message box is answered OK
// and its text printed.
class Station {
public:
    Station() {
        application_ = std::make_unique<platform::GuardedApplication>(argc_, argv_);
        platform::InstallGuiHandoverPump();
        platform::SetMessageBoxPresenter([this](const platform::MessageBoxRequest& request) {
            lastAnswer_ = Clock::now().time_since_epoch().count();
            if (request.text != "Вы уверены?")
                std::fprintf(stderr, "message box: %s\n", request.text.c_str());
            return platform::MessageResult::Ok;
        });
        window_ = std::make_unique<TfrmMainForm>();
        window_->show();
        TfrmSettings& settings = *window_->frmSettings;
        settings.edtRegion->setText(QStringLiteral("Город"));
        settings.edtNameOU->setText(QStringLiteral("Школа"));
        settings.edtKodOU->setText(QStringLiteral("145"));
        settings.edtAud->setText(QStringLiteral("12"));
        settings.btnSaveParam->click();
        settings.btnWorkOK->click();
    }
    ~Station() {
        window_.reset();
        application_.reset();
    }

    TfrmMainForm& Window() { return *window_; }
    TfrmExam& Exam() { return *window_->frmExam; }
    // When the last message box was answered.
    Clock::time_point LastAnswer() const {
        return Clock::time_point(Clock::duration(lastAnswer_.load()));
    }

private:
    platform::testing::TemporaryDesktop desktop_;
    int argc_ = 1;
    char name_[16] = "station-bench";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<platform::GuardedApplication> application_;
    std::unique_ptr<TfrmMainForm> window_;
    std::atomic<Clock::rep> lastAnswer_{0};
};

} // namespace pagesbench
