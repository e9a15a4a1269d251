// The operator's reading of a failure of the recording chain, the archive writer or a file: a short
// Russian cause first where the operator can act on it, the library's original text kept after it
// in parentheses so that nothing is hidden from whoever reads it later. The station composes what
// it shows as, for example, "Ошибка записи: " + OperatorText(failure):
//   "Ошибка записи: Микрофон недоступен (Input failed: DirectSound error 0x88780078)".
#pragma once

#include <string>
#include <string_view>

enum class FailureCause {
    Unknown,
    Microphone,     // no capture device, or no sound server to reach it
    MicrophoneLost, // the device went away (or was replaced) under a running recording
    DiskFull,       // no space left, or the user's quota used up
    NoAccess,       // the folder or file may not be written (permissions, a read-only file system)
    SymbolicLink,   // a symbolic link sits at the file's name; the station never writes through one
    NotRegularFile  // a FIFO, a device or a socket sits at the file's name
};

// The short causes put before the original text.
inline constexpr const char* MicrophoneUnavailableText = "Микрофон недоступен";
inline constexpr const char* MicrophoneLostText = "Микрофон отключён";

// What the operator does after the microphone went away: the recording has ended like a stop, its
// file is complete, and nothing records until the operator starts again.
inline constexpr const char* ExamMicrophoneLostAdvice =
    " Записанное до отключения сохранено. Подключите микрофон и нажмите «Следующий участник», "
    "чтобы продолжить запись (она пойдёт в следующий файл).";
inline constexpr const char* CheckMicrophoneLostAdvice =
    " Подключите микрофон и проверьте его снова.";
inline constexpr const char* DiskFullText = "Нет места на диске";
inline constexpr const char* NoAccessText = "Нет доступа к папке";
inline constexpr const char* SymbolicLinkCauseText =
    "На месте файла стоит символическая ссылка; программа не пишет и не читает через ссылки. "
    "Удалите ссылку и повторите";
inline constexpr const char* NotRegularFileCauseText =
    "На месте файла стоит не обычный файл (канал, устройство или сокет). Удалите его и повторите";

// The cause behind `original` (the text of the failure as the layer raised it) and, when the
// caller knows it, `errorNumber` (the system's errno of the failed call, 0 when unknown). The text
// decides where it names the cause; a bare "Error writing down mp3 file" or "Stream write error"
// is a full disk only when `errorNumber` says so.
FailureCause ClassifyFailure(std::string_view original, int errorNumber = 0);

// "<cause> (<original>)" for a known cause. Otherwise a text in the layers' English gets what it
// was in Russian before it ("Файл занят другим окном программы или другой программой (The process
// cannot access the file ...)", "Непредвиденная ошибка (...)" for wordings not known); a text
// that is already Russian stays unchanged.
std::string OperatorText(std::string_view original, int errorNumber = 0);

// For a write failure whose text carries no reason (the MP3 output's "Error writing down mp3
// file"): the probable errno judged from the state of `folder` now, ENOSPC when its file system has
// (next to) no room left, EACCES when the folder may not be written, 0 when neither explains it.
int ProbableWriteError(const std::string& folder);
