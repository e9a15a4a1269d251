// The operator's reading of a failure of the recording chain, the archive writer or a file: a short
// Russian cause first where the operator can act on it, the library's original text kept after it
// in parentheses so that nothing is hidden from whoever reads it later. The station composes what
// it shows as, for example, "Ошибка записи: " + OperatorText(failure):
//   "Ошибка записи: Микрофон недоступен (Input failed: DirectSound error 0x88780078)".
// The cause comes as data from the layer that saw the failure; the text is never searched for it.
#pragma once

#include "platform/FailureCause.h"

#include <exception>
#include <string>
#include <string_view>

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

// "<cause> (<original>)": the Russian text of the cause the failing layer named, the layer's own
// text kept after it. Without a cause the operator can act on, a text in the layers' English is
// led by "Непредвиденная ошибка"; a text that is already Russian stays unchanged.
std::string OperatorText(std::string_view original, const platform::FailureCause& cause);
// The same for a raised failure, with the cause it carries.
std::string OperatorText(const std::exception& failure);
