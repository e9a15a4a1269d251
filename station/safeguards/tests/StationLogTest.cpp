#include "station/safeguards/StationLog.h"

#include "testsupport/ScopedEnvironmentVariable.h"
#include "testsupport/TemporaryFileSystem.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace station;

namespace {

namespace fs = std::filesystem;
using testsupport::ScopedEnvironmentVariable;
using namespace std::chrono_literals;

std::vector<std::string> LinesOf(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

platform::DateTime FixedNow() {
    return platform::EncodeDateTime(
        {.year = 2026, .month = 12, .day = 10, .hour = 14, .minute = 3, .second = 5});
}

class StationLogTest : public ::testing::Test {
protected:
    testsupport::TemporaryFolder scratch_{"station-log"};
    fs::path root_{scratch_.Path()};
};

TEST_F(StationLogTest, OneLinePerEventInTheStateFolder) {
    ScopedEnvironmentVariable state("XDG_STATE_HOME", (root_ / "state").string());
    const std::string path = StationLog::DefaultPath();
    EXPECT_EQ(path, (root_ / "state/interview-station/station.log").string());

    std::vector<std::string> failures;
    StationLog log(
        path, [&](const std::string& text) { failures.push_back(text); }, FixedNow);
    const std::string folder = "/home/u/Desktop/01-10122026-000145-012";
    EXPECT_TRUE(log.ParametersSaved("Город", "Школа № 5", "000145", "012"));
    EXPECT_TRUE(log.ReadinessConfirmed(folder));
    EXPECT_TRUE(log.RecordingStarted(folder + "/3.mp3"));
    EXPECT_TRUE(log.Failure("Ошибка записи: Микрофон недоступен (Input failed: DirectSound error "
                            "0x88780078)\nwith a second line"));
    EXPECT_TRUE(log.RecordingStopped(folder + "/3.mp3", 3725s));
    // A loss is named with the length it ends; a loss below a tenth of a second is not rounded
    // away to none.
    EXPECT_TRUE(log.RecordingStopped(folder + "/4.mp3", 62s, 1201ms));
    EXPECT_TRUE(log.RecordingStopped(folder + "/5.mp3", 9s, 3ms));
    EXPECT_TRUE(log.RecordingNotMade(folder + "/6.mp3"));
    EXPECT_TRUE(log.Warning("Мало места на диске!"));
    EXPECT_TRUE(log.InterviewClosed("01-10122026-000000-000145-012.csv", 3));
    EXPECT_TRUE(log.ArchiveFailed("Sevenzip: Failed to load 7z.so"));
    EXPECT_TRUE(log.ArchiveWritten("/home/u/Desktop/01-10122026-000145-012.zip"));

    // A second log object (the next start of the program) adds to the same file.
    StationLog(path, {}, FixedNow).Write("Программа запущена");

    const std::vector<std::string> expected = {
        "2026-12-10 14:03:05 Параметры сохранены: Город; Школа № 5; код ОУ 000145, аудитория 012",
        "2026-12-10 14:03:05 Готовность подтверждена: папка " + folder,
        "2026-12-10 14:03:05 Запись начата: 3.mp3",
        "2026-12-10 14:03:05 Ошибка: Ошибка записи: Микрофон недоступен (Input failed: "
        "DirectSound error 0x88780078) with a second line",
        "2026-12-10 14:03:05 Запись завершена: 3.mp3, 62 мин. 5 сек.",
        "2026-12-10 14:03:05 Запись завершена: 4.mp3, 1 мин. 2 сек., потеряно 1,3 с записи",
        "2026-12-10 14:03:05 Запись завершена: 5.mp3, 0 мин. 9 сек., потеряно 0,1 с записи",
        "2026-12-10 14:03:05 Запись не состоялась: 6.mp3 (файл не создан)",
        "2026-12-10 14:03:05 Предупреждение: Мало места на диске!",
        "2026-12-10 14:03:05 Собеседование завершено: отчёт 01-10122026-000000-000145-012.csv, "
        "участников 3",
        "2026-12-10 14:03:05 Архив не записан: Sevenzip: Failed to load 7z.so",
        "2026-12-10 14:03:05 Архив записан: /home/u/Desktop/01-10122026-000145-012.zip",
        "2026-12-10 14:03:05 Программа запущена",
    };
    EXPECT_EQ(LinesOf(path), expected);
    EXPECT_TRUE(failures.empty());
}

TEST_F(StationLogTest, DefaultPathFallsBackToHome) {
    ScopedEnvironmentVariable home("HOME", root_.string());
    {
        ScopedEnvironmentVariable relative("XDG_STATE_HOME", "relative/state");
        EXPECT_EQ(StationLog::DefaultPath(),
                  (root_ / ".local/state/interview-station/station.log").string());
    }
    ScopedEnvironmentVariable unset("XDG_STATE_HOME", "");
    EXPECT_EQ(StationLog::DefaultPath(),
              (root_ / ".local/state/interview-station/station.log").string());
}

// A log that cannot be written costs the exam nothing: no exception, and one report.
TEST_F(StationLogTest, UnwritableStateFolderIsReportedOnceAndNeverThrows) {
    testsupport::TemporaryFileSystem readOnly("ro");
    std::string state;
    if (readOnly.Mounted()) {
        state = readOnly.Folder();
    } else if (::geteuid() != 0) {
        state = (root_ / "read-only").string();
        fs::create_directories(state);
        fs::permissions(state, fs::perms::owner_read | fs::perms::owner_exec);
    } else {
        GTEST_SKIP() << readOnly.SkipReason();
    }
    std::vector<std::string> failures;
    StationLog log(state + "/interview-station/station.log",
                   [&](const std::string& text) { failures.push_back(text); });
    EXPECT_FALSE(log.RecordingStarted("/x/1.mp3"));
    EXPECT_FALSE(log.Failure("Нет места на диске (No space left on device)"));
    EXPECT_FALSE(log.RecordingStopped("/x/1.mp3", 10s));
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0],
              std::string(StationLog::FailurePrefix) + "Cannot create folder \"" + state +
                  "/interview-station\". " +
                  (readOnly.Mounted() ? "Read-only file system" : "Permission denied"));

    // A receiver of the report that fails itself does not disturb the caller either.
    StationLog throwing(state + "/station.log",
                        [](const std::string&) { throw std::runtime_error("receiver failed"); });
    EXPECT_NO_THROW(EXPECT_FALSE(throwing.Warning("x")));
}

TEST_F(StationLogTest, ResumesOnceTheFolderCanBeMade) {
    // A file where the log's folder should be.
    std::ofstream(root_ / "state") << "in the way";
    int reports = 0;
    StationLog log((root_ / "state/interview-station/station.log").string(),
                   [&](const std::string&) { ++reports; }, FixedNow);
    EXPECT_FALSE(log.RecordingStarted("/x/1.mp3"));

    fs::remove(root_ / "state");
    EXPECT_TRUE(log.RecordingStarted("/x/2.mp3"));
    EXPECT_EQ(LinesOf(log.Path()),
              std::vector<std::string>{"2026-12-10 14:03:05 Запись начата: 2.mp3"});
    EXPECT_EQ(reports, 1);
}

TEST_F(StationLogTest, LinesFromSeveralThreadsStayWhole) {
    const std::string path = (root_ / "log/station.log").string();
    StationLog log(path);
    std::vector<std::thread> writers;
    for (int writer = 0; writer < 4; ++writer)
        writers.emplace_back([&log, writer] {
            for (int i = 0; i < 200; ++i)
                log.Write("writer " + std::to_string(writer) + " line " + std::to_string(i) +
                          std::string(200, '.'));
        });
    for (std::thread& writer : writers)
        writer.join();
    const std::vector<std::string> lines = LinesOf(path);
    ASSERT_EQ(lines.size(), 800u);
    for (const std::string& line : lines)
        EXPECT_EQ(line.substr(line.size() - 200), std::string(200, '.')) << line;
}

} // namespace
