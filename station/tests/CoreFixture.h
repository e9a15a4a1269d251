// What the core tests share: the interview and its check on the real sound server, player and
// libraries, on a private Desktop, with message boxes answered by script; a record of what the
// observers were told; and waiting while the hand-overs to the GUI thread run. No widgets: this
// thread is the GUI thread.
#pragma once

#include "platform/DateTime.h"
#include "platform/FileSystemFacts.h"
#include "platform/GuiHandover.h"
#include "platform/SoundSystem.h"
#include "platform/lame_enc/tests/Mp3TestTools.h"
#include "station/Naming.h"
#include "station/app/MessageBoxes.h"
#include "station/app/StationWiring.h"
#include "station/core/Calendar.h"
#include "station/core/Interview.h"
#include "station/core/WorkstationCheck.h"
#include "testsupport/ScriptedMessageBoxes.h"
#include "testsupport/TemporaryDesktop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace station::coretest {

// Runs the hand-overs to the GUI thread for `seconds`.
inline void Pump(double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        platform::CheckSynchronize();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Runs the hand-overs until `done` holds; false after `seconds` without it.
inline bool PumpUntil(const std::function<bool()>& done, double seconds = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        platform::CheckSynchronize();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A file's bytes, all of them.
inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Seconds of audio in an MP3 file, as libmpg123 decodes it.
inline double DecodedSeconds(const std::string& path) {
    const mp3test::DecodedAudio audio = mp3test::DecodeFile(path);
    return audio.channels == 0 || audio.sampleRate == 0
               ? 0.0
               : static_cast<double>(audio.samples.size()) / audio.channels / audio.sampleRate;
}

// Today, unless a test has moved the calendar on.
class TestCalendar : public Calendar {
public:
    platform::DateTime Today() const override { return day ? *day : platform::Today(); }
    std::optional<platform::DateTime> day;
};

// Everything the observers were told, as the views would show it.
class Notifications : public StationObserver {
public:
    void ParametersSaved(const InterviewState& value) override { state = value; }
    void InterviewOpened(const InterviewState& value) override {
        opened.push_back(value);
        state = value;
    }
    void ParticipantChanged(std::int32_t value) override {
        participant = value;
        state.participant = value;
    }
    void ExamChanged(const ExamState& state) override { exam = state; }
    void ElapsedChanged(platform::DateTime value) override { elapsed = value; }
    void LevelChanged(std::int64_t position) override {
        level = position;
        ++levelEvents;
    }
    void RecordingStarted(const std::string& filePath) override {
        started.push_back(filePath);
        recording = filePath;
    }
    void RecordingStopped(const FinishedRecording& value) override {
        stopped.push_back(value.filePath);
        finished.push_back(value);
        recording.reset();
    }
    void ReportSaved(const SavedReport& value) override { report = value; }
    void ArchiveWritten(const std::string& path) override { archive = path; }
    void ArchiveReadBack(const ArchiveProof& value) override { proof = value; }
    void PackingProgressed(const PackingProgress& value) override { packing.push_back(value); }
    void CheckChanged(const CheckState& state) override { check = state; }
    void Warning(const std::string& text) override { warnings.push_back(text); }

    // The interview's parameters, folder and participant as last told.
    InterviewState state;
    std::vector<InterviewState> opened;
    std::optional<std::int32_t> participant;
    ExamState exam;
    std::optional<platform::DateTime> elapsed;
    std::int64_t level = 0;
    int levelEvents = 0;
    std::vector<std::string> started; // every recording's file, in the order they started
    std::vector<std::string> stopped;
    std::vector<FinishedRecording> finished; // what the station said of each as it finished it
    std::optional<std::string> recording;    // started and not yet finished by the station
    std::optional<SavedReport> report;
    std::optional<std::string> archive;
    std::optional<ArchiveProof> proof;
    std::vector<PackingProgress> packing;
    CheckState check;
    std::vector<std::string> warnings;
};

class CoreFixture : public ::testing::Test {
protected:
    // `sound` stands in for the sound server where a test must hold the capture.
    explicit CoreFixture(platform::SoundSystem& sound = platform::DefaultSoundSystem())
        : testFolder_(desktop_.Home() + "/program"),
          services_(WireServices(
              parts_, {.sound = &sound,
                       .calendar = &calendar_,
                       .desktopFolder = [this] { return desktop_.Desktop(); },
                       .testRecording = testFolder_ + "/test01.mp3",
                       .steadyNow = [this] { return std::chrono::steady_clock::now() + skipped_; },
                       .freeBytes =
                           [this](const std::string& folder) {
                               return freeBytes_ ? *freeBytes_ : platform::FreeBytes(folder);
                           }})) {
        std::filesystem::create_directories(testFolder_);
        Wire();
    }
    ~CoreFixture() override { Unwire(); }

    // The station ends and starts again on the same services: the core is wired anew, and what
    // the observers were told so far is kept.
    void Rewire() {
        Unwire();
        Wire();
    }

    void SaveParameters() {
        ASSERT_TRUE(interview_->SaveParameters(
            {.region = "Город", .schoolName = "Школа № 1", .schoolCode = "145", .room = "12"}));
    }
    // Parameters saved and readiness confirmed.
    void OpenInterview() {
        SaveParameters();
        ASSERT_TRUE(interview_->ConfirmReadiness());
    }
    // "Завершить собеседование", and the archive's packing waited for.
    void CloseInterview() {
        interview_->Close();
        ASSERT_TRUE(PumpUntil([&] { return !Packing(); }, 120));
    }
    // Whether the close's archive is being packed or read back, as the exam page is told.
    bool Packing() const { return interviewSeen_.exam.banner == RecordingBanner::Packing; }
    const InterviewState& State() const { return interviewSeen_.state; }
    std::string Recording(int number) const {
        return State().folder + "/" + std::to_string(number) + ".mp3";
    }
    // `frames` silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz, mono), 417 bytes each: a
    // recording the receiver's check accepts, without a sound server.
    static std::string SilentMp3(int frames = 40) {
        std::string frame("\xFF\xFB\x90\xC0", 4);
        frame.resize(417, '\0');
        std::string bytes;
        for (int i = 0; i < frames; ++i)
            bytes += frame;
        return bytes;
    }
    // Parameters saved, and readiness confirmed in a folder where an earlier run left these
    // recordings (numbered from 1).
    void OpenInterviewWith(const std::vector<std::string>& recordings) {
        SaveParameters();
        const std::string folder =
            InterviewFolderFor(desktop_.Desktop(), State().examDate, "000145", "012");
        std::filesystem::create_directories(folder);
        for (std::size_t i = 0; i < recordings.size(); ++i)
            std::ofstream(folder + "/" + std::to_string(i + 1) + ".mp3", std::ios::binary)
                << recordings[i];
        ASSERT_TRUE(interview_->ConfirmReadiness());
    }
    // A recording of participant `number` in the interview folder, as an earlier run left it.
    void PlaceRecording(int number, const std::string& bytes = SilentMp3()) const {
        std::ofstream(Recording(number), std::ios::binary) << bytes;
    }
    // Whether the station records `file` now, as its observers were told: started, not finished
    // and not failed.
    bool RecordingInto(const std::string& file) const {
        return interviewSeen_.recording == file &&
               interviewSeen_.exam.banner != RecordingBanner::Failed;
    }
    // Whether the station records anybody, as its observers were told.
    bool RecordingRunning() const { return interviewSeen_.recording.has_value(); }
    // Waits until the report holds `lines` lines: the worker hands a recording's line in once its
    // file is closed, also when the recording ended by itself.
    bool PumpUntilRecordingListed(std::size_t lines) {
        return PumpUntil([&] { return interview_->Report().size() >= lines; });
    }
    const std::string& TestFile() const { return services_.testRecording; }
    // Moves the core's steady clock on without waiting.
    void Skip(std::chrono::milliseconds time) { skipped_ += time; }

    testsupport::TemporaryDesktop desktop_;
    testsupport::ScriptedMessageBoxes boxes_;
    const std::string testFolder_;
    StationParts parts_;
    TestCalendar calendar_;
    std::chrono::steady_clock::duration skipped_{};
    // What the disk reports as free; the real figure of the file system when unset. Plenty by
    // default, so that no test meets a warning it did not ask for.
    std::optional<std::uint64_t> freeBytes_ = std::uint64_t{1} << 40;
    StationServices services_;
    MessageBoxReporter reporter_;
    Notifications interviewSeen_;
    Notifications checkSeen_;
    std::unique_ptr<Interview> interview_;
    std::unique_ptr<WorkstationCheck> check_;
    std::vector<Subscription> subscriptions_;

private:
    void Wire() {
        StationCore core = WireCore(services_, reporter_);
        interview_ = std::move(core.interview);
        check_ = std::move(core.check);
        subscriptions_ = std::move(core.subscriptions);
        subscriptions_.push_back(interview_->Observers().Subscribe(interviewSeen_));
        subscriptions_.push_back(check_->Observers().Subscribe(checkSeen_));
    }
    void Unwire() {
        subscriptions_.clear();
        check_.reset();
        interview_.reset();
    }
};

} // namespace station::coretest
