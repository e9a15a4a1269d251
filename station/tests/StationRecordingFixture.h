// What the recording tests of the station share: a main window on a private Desktop with scripted
// message boxes, the steps that bring it to the exam page, and waiting while the GUI runs.
#pragma once

#include "controls/Panel.h"
#include "controls/PictureButton.h"
#include "platform/GuiHandover.h"
#include "platform/lame_enc/tests/Mp3TestTools.h"
#include "platform/testing/ScriptedMessageBoxes.h"
#include "platform/testing/TemporaryDesktop.h"
#include "station/UExam.h"
#include "station/UMainForm.h"
#include "station/USettings.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace stationtest {

// Runs the GUI (events, timers, hand-overs) for `seconds`.
inline void Pump(double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Runs the GUI until `done` holds; false after `seconds` without it.
inline bool PumpUntil(const std::function<bool()>& done, double seconds = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

inline std::string Text(const QWidget* widget) {
    if (const auto* label = dynamic_cast<const QLabel*>(widget))
        return label->text().toStdString();
    if (const auto* panel = dynamic_cast<const controls::Panel*>(widget))
        return panel->text().toStdString();
    return widget->property("text").toString().toStdString();
}

// Seconds of audio in an MP3 file, as libmpg123 decodes it.
inline double DecodedSeconds(const std::string& path) {
    const mp3test::DecodedAudio audio = mp3test::DecodeFile(path);
    return audio.channels == 0 || audio.sampleRate == 0
               ? 0.0
               : static_cast<double>(audio.samples.size()) / audio.channels / audio.sampleRate;
}

class StationFixture : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<TfrmMainForm>();
        settings_ = window_->frmSettings;
        exam_ = window_->frmExam;
        window_->show();
    }
    void TearDown() override { window_.reset(); }

    // Parameters saved: the check's toggles are usable.
    void SaveParameters() {
        settings_->edtRegion->setText(QStringLiteral("Город"));
        settings_->edtNameOU->setText(QStringLiteral("Школа № 1"));
        settings_->edtKodOU->setText(QStringLiteral("145"));
        settings_->edtAud->setText(QStringLiteral("12"));
        settings_->btnSaveParam->click();
    }
    // Parameters saved and readiness confirmed: the exam page is shown.
    void OpenExamPage() {
        SaveParameters();
        settings_->btnWorkOK->click();
        ASSERT_FALSE(exam_->isHidden());
    }
    std::string Recording(int number) const {
        return window_->InterviewDir + "/" + std::to_string(number) + ".mp3";
    }

    platform::testing::TemporaryDesktop desktop_;
    platform::testing::ScriptedMessageBoxes boxes_;
    std::unique_ptr<TfrmMainForm> window_;
    TfrmSettings* settings_ = nullptr;
    TfrmExam* exam_ = nullptr;
};

} // namespace stationtest
