// The station's work log: one line per event, "yyyy-mm-dd hh:nn:ss [<interview>] <event>" in
// UTF-8, e.g.
//   2026-12-10 14:03:05 [01-10122026-000145-012] Запись начата: 3.mp3
// (without the brackets before an interview's parameters are known)
// kept in the user's state folder ($XDG_STATE_HOME/interview-station/station.log, by default
// ~/.local/state/interview-station/station.log), never in the interview folder, so that it is
// neither archived nor mistaken for a recording. Each line is one write at the end of the file,
// so a crash loses nothing written before it. The log serves whoever has to explain an interview
// afterwards; it must never disturb one: a line that cannot be written is dropped, the event
// functions return false and never throw, and the first failure is passed once to the failure
// callback (for a status line or a message). Lines may be written from any thread.
#pragma once

#include "platform/AppendFile.h"
#include "platform/DateTime.h"
#include "station/OperatorTexts.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace station {

class StationLog {
public:
    using FailureReport = std::function<void(const std::string& message)>;
    using Clock = std::function<platform::DateTime()>;

    // The log file's path from XDG_STATE_HOME (ignored unless absolute) or HOME; empty when
    // neither is set.
    static std::string DefaultPath();

    // Opens nothing yet: the file and its folders are created by the first line.
    explicit StationLog(std::string path = DefaultPath(), FailureReport onFailure = {},
                        Clock now = platform::Now);

    const std::string& Path() const { return path_; }

    // The interview the lines from now on belong to (its folder's name, "01-ddmmyyyy-SSSSSS-RRR"):
    // each line then names it in brackets after its time, so that a day with several interviews,
    // or a restart, can be told apart. Empty: no interview yet.
    void SetInterview(std::string interview);

    // "Параметры сохранены: <region>; <school name>; код ОУ <school code>, аудитория <room>"
    bool ParametersSaved(std::string_view region, std::string_view schoolName,
                         std::string_view schoolCode6, std::string_view room3);
    // "Готовность подтверждена: папка <interview folder>"
    bool ReadinessConfirmed(std::string_view interviewDir);
    // "Запись начата: <file name without its folder>"
    bool RecordingStarted(std::string_view fileName);
    // "Запись завершена: <file name>, <m> мин. <s> сек." (whole minutes, not wrapped at an hour),
    // followed by ", потеряно <1,2 с> записи" when the recording lost audio.
    bool RecordingStopped(std::string_view fileName, std::chrono::seconds duration,
                          std::chrono::milliseconds lost = std::chrono::milliseconds(0));
    // "Запись не состоялась: <file name> (файл не создан)"
    bool RecordingNotMade(std::string_view fileName);
    // "Ошибка: <text>"
    bool Failure(std::string_view text);
    // "Предупреждение: <text>"
    bool Warning(std::string_view text);
    // "Собеседование завершено: отчёт <report name>, участников <count>"
    bool InterviewClosed(std::string_view reportName, std::int64_t participants);
    // "Архив записан: <archive path>"
    bool ArchiveWritten(std::string_view archivePath);
    // "Архив не записан: <reason>"
    bool ArchiveFailed(std::string_view reason);

    // Any other event, as one line (line breaks and other control characters become spaces).
    // Returns whether the line reached the file.
    bool Write(std::string_view event) noexcept;

    // The text passed to the failure callback: "Журнал станции не ведётся: " + the reason.
    static constexpr const char* FailurePrefix = WorkLogNotKeptPrefix;

private:
    // Raises platform::FileError; the file is opened again at the next line after a failure.
    void Append(const std::string& line);

    std::string path_;
    FailureReport onFailure_;
    Clock now_;
    std::mutex lock_;
    std::optional<platform::AppendFile> file_;
    std::string interview_;
    std::atomic<bool> failureReported_{false};
};

} // namespace station
