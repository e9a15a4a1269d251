// What the station's benchmarks share: the real interview and main window on a private Desktop,
// brought to the exam page, with message boxes answered OK (and the moment of each answer kept),
// and running the GUI for a while.
#pragma once

#include "platform/MessageBox.h"
#include "platform/qt/GuardedApplication.h"
#include "platform/qt/GuiHandoverPump.h"
#include "station/app/MessageBoxes.h"
#include "station/app/StationWiring.h"
#include "station/views/MainWindow.h"
#include "testsupport/TemporaryDesktop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace station::pagesbench {

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

// The station on a temporary Desktop, its window on the exam page; every message box is answered
// OK and its text printed. The benchmarks press the exam page's buttons through the interview's
// operations, which are what the buttons call.
class Station {
public:
    // `examChain`: what the benchmark wires into the exam's recording chain.
    explicit Station(RecordingChainHooks examChain = {}) {
        application_ = std::make_unique<platform::GuardedApplication>(argc_, argv_);
        platform::InstallGuiHandoverPump();
        platform::SetMessageBoxPresenter([this](const platform::MessageBoxRequest& request) {
            lastAnswer_ = Clock::now().time_since_epoch().count();
            if (request.text != "Вы уверены?")
                std::fprintf(stderr, "message box: %s\n", request.text.c_str());
            return platform::MessageResult::Ok;
        });
        parts_ = std::make_unique<StationParts>();
        services_ = std::make_unique<StationServices>(
            WireServices(*parts_, {.testRecording = desktop_.Home() + "/test01.mp3",
                                   .examChain = std::move(examChain)}));
        core_.emplace(WireCore(*services_, reporter_));
        window_ = std::make_unique<MainWindow>(*core_->interview, *core_->check);
        window_->show();
        core_->interview->SaveParameters(
            {.region = "Город", .schoolName = "Школа", .schoolCode = "145", .room = "12"});
        core_->interview->ConfirmReadiness();
    }
    ~Station() {
        window_.reset();
        core_.reset();
        services_.reset();
        parts_.reset();
        application_.reset();
    }

    Interview& Core() { return *core_->interview; }
    // When the last message box was answered.
    Clock::time_point LastAnswer() const {
        return Clock::time_point(Clock::duration(lastAnswer_.load()));
    }

private:
    testsupport::TemporaryDesktop desktop_;
    int argc_ = 1;
    char name_[16] = "station-bench";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<platform::GuardedApplication> application_;
    MessageBoxReporter reporter_;
    std::unique_ptr<StationParts> parts_;
    std::unique_ptr<StationServices> services_;
    std::optional<StationCore> core_;
    std::unique_ptr<MainWindow> window_;
    std::atomic<Clock::rep> lastAnswer_{0};
};

} // namespace station::pagesbench
