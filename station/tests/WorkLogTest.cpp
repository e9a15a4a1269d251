// The exam day's work log: what an interview with one failed recording leaves in the station's
// log, in the user's state folder and nowhere near the interview folder.
#include "station/core/WorkLog.h"

#include "platform/FileStream.h"
#include "station/Naming.h"
#include "station/safeguards/StationLog.h"
#include "station/tests/CoreFixture.h"
#include "testsupport/ScopedEnvironmentVariable.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

using namespace station;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using coretest::PumpUntil;

std::vector<std::string> LinesOf(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string Escaped(const std::string& text) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(text, special, R"(\$&)");
}

class WorkLogTest : public coretest::CoreFixture {};

TEST_F(WorkLogTest, AnInterviewWithAFailedRecordingLeavesOneTimedLinePerEvent) {
    const std::string stateHome = desktop_.Home() + "/state";
    const testsupport::ScopedEnvironmentVariable home("XDG_STATE_HOME", stateHome);
    StationLog log;
    ASSERT_EQ(log.Path(), stateHome + "/interview-station/station.log");
    WorkLog workLog(log);
    subscriptions_.push_back(interview_->Observers().SubscribeFirst(workLog));
    subscriptions_.push_back(check_->Observers().SubscribeFirst(workLog));

    OpenInterview();
    const std::string folder = State().folder;
    // The folder has gone: the first participant's recording fails.
    fs::remove_all(folder);
    interview_->StartRecording();
    ASSERT_TRUE(PumpUntil([&] { return interviewSeen_.exam.banner == RecordingBanner::Failed; }));
    fs::create_directories(folder);
    boxes_.Answer(platform::MessageResult::Ok);
    interview_->NextParticipant();
    // Sound has arrived before the clock is moved on, so the long recording is not a silent one.
    interviewSeen_.level = 0;
    ASSERT_TRUE(PumpUntil([&] { return interviewSeen_.level > 2; }));
    Skip(65s);
    CloseInterview();
    ASSERT_TRUE(interviewSeen_.archive.has_value());
    subscriptions_.clear();

    const std::string report = ReportFileName(calendar_.Today(), "000145", "012");
    const std::vector<std::string> expected = {
        Escaped("Параметры сохранены: Город; Школа № 1; код ОУ 000145, аудитория 012"),
        Escaped("Готовность подтверждена: папка " + folder),
        Escaped("Запись начата: 1.mp3"),
        Escaped("Ошибка: Ошибка записи: ") + ".*1\\.mp3.*",
        // The file was never made: no length is given for it, nor is it called finished.
        Escaped("Запись не состоялась: 1.mp3 (файл не создан)"),
        Escaped("Запись начата: 2.mp3"),
        // The clock was moved on by 65 s, but the recording is the audio it holds.
        Escaped("Запись завершена: 2.mp3, 0 мин. ") + "([0-9]+)" + Escaped(" сек."),
        Escaped("Собеседование завершено: отчёт " + report + ", участников 2"),
        Escaped("Архив записан: " + *interviewSeen_.archive),
        // The first recording failed with its folder gone: only the second is in the archive.
        Escaped("Архив проверен: 1 запись, контрольные суммы совпадают."),
    };
    const std::vector<std::string> lines = LinesOf(log.Path());
    ASSERT_EQ(lines.size(), expected.size()) << ::testing::PrintToString(lines);
    // Every line names the interview it belongs to.
    const std::string stem = Escaped("[" + fs::path(folder).filename().string() + "] ");
    std::smatch match;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(std::regex_match(
            lines[i], match, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d )" + stem + expected[i])))
            << lines[i];
        if (i == 6 && match.size() == 2) {
            EXPECT_NEAR(std::stod(match[1]), coretest::DecodedSeconds(folder + "/2.mp3"), 1.0);
        }
    }
    // Nothing of the log went into the interview folder, and so into its archive.
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        EXPECT_NE(entry.path().extension(), ".log") << entry.path();
}

// kill -9 while a failure's box waited for the operator lost the failure: it was written only once
// the box was closed. Nothing records after the failed start, the timer stands still, and the
// failure shows one box (not a second one from the checksum of the file it could not make).
TEST_F(WorkLogTest, AFailedStartIsLoggedWhileItsOnlyBoxIsStillOpenAndStopsTheTimer) {
    StationLog log(desktop_.Home() + "/state/station.log");
    WorkLog workLog(log);
    subscriptions_.push_back(interview_->Observers().SubscribeFirst(workLog));
    OpenInterview();
    fs::remove_all(State().folder);
    std::vector<std::string> loggedWhileOpen;
    std::vector<std::string> boxes;
    const platform::MessageBoxPresenter previous =
        platform::SetMessageBoxPresenter([&](const platform::MessageBoxRequest& request) {
            boxes.push_back(request.text);
            if (request.icon == platform::MessageIcon::Error)
                loggedWhileOpen = LinesOf(log.Path());
            return platform::MessageResult::Ok;
        });
    interview_->StartRecording();
    const bool failed =
        PumpUntil([&] { return interviewSeen_.exam.banner == RecordingBanner::Failed; });
    // The pass's line comes once its worker has finished it.
    const bool lined = PumpUntil([&] { return interview_->Report().size() > 5; });
    coretest::Pump(0.2);
    platform::SetMessageBoxPresenter(previous);
    ASSERT_TRUE(lined);
    EXPECT_EQ(boxes.size(), 1u) << ::testing::PrintToString(boxes);
    ASSERT_TRUE(failed);
    ASSERT_FALSE(loggedWhileOpen.empty());
    EXPECT_NE(loggedWhileOpen.back().find("Ошибка: Ошибка записи: "), std::string::npos)
        << ::testing::PrintToString(loggedWhileOpen);
    EXPECT_FALSE(interviewSeen_.exam.timerRunning);
}

// A recording left by an earlier run that cannot be read (here another program holds it, which
// stops root as well) is still listed with its real size, and why its checksum is missing reaches
// the operator in one error box through the observers, so the work log has it too.
TEST_F(WorkLogTest, AnUnreadableRecordingIsToldOnceAndLogged) {
    StationLog log(desktop_.Home() + "/state/station.log");
    WorkLog workLog(log);
    subscriptions_.push_back(interview_->Observers().SubscribeFirst(workLog));
    SaveParameters();
    const std::string folder =
        InterviewFolderFor(desktop_.Desktop(), State().examDate, "000145", "012");
    fs::create_directories(folder);
    const std::string recording = folder + "/1.mp3";
    std::ofstream(recording, std::ios::binary) << "held";
    auto holder = platform::FileHandle::Open(recording, platform::FileAccess::Write,
                                             platform::FileShare::None,
                                             platform::FileDisposition::OpenExisting);
    boxes_.Clear();
    ASSERT_TRUE(interview_->ConfirmReadiness());

    const std::string told = "Ошибка при подсчёте контрольной суммы файла [" + recording + "]: [";
    std::vector<std::string> checksumBoxes;
    for (const std::string& text : boxes_.Texts())
        if (text.starts_with(told))
            checksumBoxes.push_back(text);
    ASSERT_EQ(checksumBoxes.size(), 1u) << ::testing::PrintToString(boxes_.Texts());
    EXPECT_NE(checksumBoxes[0].find(platform::SharingViolationText), std::string::npos);
    const std::vector<std::string> logged = LinesOf(log.Path());
    EXPECT_TRUE(std::any_of(logged.begin(), logged.end(), [&](const std::string& line) {
        return line.find("Ошибка: " + told) != std::string::npos;
    })) << ::testing::PrintToString(logged);
    const std::vector<std::string> report = interview_->Report();
    ASSERT_GT(report.size(), 5u);
    EXPECT_TRUE(report[5].starts_with("1.mp3;") && report[5].ends_with(";4;00000000")) << report[5];
}

} // namespace
