// Every text a person reads from the station: its window, pages, banners, buttons, message boxes,
// the work log and the command line. They live here, grouped by where they are read, so that a
// wording is changed in one place and a reviewer of the Russian reads all of it in one file. Texts
// that carry values are composed by the functions at the end of each group (OperatorTexts.cpp).
// A test fails the build's checks when a Russian literal appears in the station's code elsewhere.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace station {

// --- The window ------------------------------------------------------------------------------

// The window's title and the name the desktop shows for the program.
inline constexpr const char* ApplicationTitle = "Собеседование по русскому языку";
inline constexpr const char* BannerTitleText = "ГИА-9. СОБЕСЕДОВАНИЕ ПО РУССКОМУ ЯЗЫКУ";
inline constexpr const char* BannerVersionText = "Версия 1.0";
// What a screen reader calls both pages' level meters.
inline constexpr const char* LevelMeterCaption = "Уровень сигнала";

// --- Settings: the interview's parameters ----------------------------------------------------

inline constexpr const char* SettingsIntroText =
    "Перед началом собеседования специалисту по работе с ПК необходимо задать параметры "
    "собеседования";
inline constexpr const char* ParametersCaptionText = "Настройка параметров собеседования";
inline constexpr const char* SchoolBoxTitleText =
    "Заполните данные об образовательной организации:";
inline constexpr const char* RegionLabelText = "Город / Район";
inline constexpr const char* SchoolNameLabelText = "Название ОУ:";
inline constexpr const char* SchoolCodeLabelText = "Код ОУ:";
inline constexpr const char* RoomLabelText = "Номер аудитории:";
inline constexpr const char* SaveParametersButtonText = "Сохранить параметры";

// Why the parameters are refused.
inline constexpr const char* IncompleteParametersText = "Введите полностью данные!";
inline constexpr const char* UnsafeNameCharacterText =
    "Код ОУ и номер аудитории не должны содержать символы \\ / : * ? \" < > |";
inline constexpr const char* ControlCharacterText =
    "Город / район и название ОУ не должны содержать переносов строк и других управляющих "
    "символов";
// The fields as the refusal of an unreportable character names them.
inline constexpr const char* RegionFieldName = "Город / район";
inline constexpr const char* SchoolNameFieldName = "Название ОУ";
inline constexpr const char* SchoolCodeFieldName = "Код ОУ";
inline constexpr const char* RoomFieldName = "Номер аудитории";
// "Поле «<field>» содержит символ <character>, который нельзя записать в отчёт собеседования.
// Удалите его или замените."
std::string UnreportableCharacterText(std::string_view field, std::string_view character);
// How a byte that is no UTF-8 character is named in that refusal: "байт 0xNN".
std::string InvalidByteText(unsigned char byte);
// "Поле «<field>» не может быть пустым, состоять из пробелов или кончаться точкой или пробелом:
// ..." (Windows, where the receiving side may unpack the archive, cannot hold such a name)
std::string NameEndingText(std::string_view field);

// "<What> слишком длинный: имя папки, отчёта или архива превысит допустимую длину имени файла."
inline constexpr const char* NameTooLongConsequence =
    ": имя папки, отчёта или архива превысит допустимую длину имени файла.";
inline constexpr const char* SchoolCodeTooLongText = "Код ОУ слишком длинный";
inline constexpr const char* RoomTooLongText = "Номер аудитории слишком длинный";
inline constexpr const char* SchoolCodeAndRoomTooLongText =
    "Код ОУ и номер аудитории вместе слишком длинные";

// --- Microphone and playback check -----------------------------------------------------------

inline constexpr const char* CheckCaptionText = "Тестирование качества записи и воспроизведения";
inline constexpr const char* CheckMicrophoneLabelText = "Проверьте микрофон";
inline constexpr const char* CheckMicrophoneButtonCaption = "Проверить микрофон";
inline constexpr const char* CheckPlaybackLabelText = "Проверьте качество записи";
inline constexpr const char* CheckPlaybackButtonCaption = "Прослушать тестовую запись";
inline constexpr const char* ConfirmReadinessButtonText =
    "Подтвердить готовность рабочего места к экзамену";
// The check page's message after a microphone test that heard nothing.
inline constexpr const char* MicrophoneSilentText =
    "Микрофон не передаёт звук. Проверьте подключение и громкость микрофона.";
// What the operator does after the microphone went away during its test.
inline constexpr const char* CheckMicrophoneLostAdvice =
    " Подключите микрофон и проверьте его снова.";
// "Ошибка проверки микрофона: <cause>"
std::string MicrophoneCheckFailedText(std::string_view cause);

// --- Readiness, the check page's last step: the interview folder ---------------------------

// Shown when the interview folder is claimed by another window already.
inline constexpr const char* InterviewInUseText =
    "Это собеседование уже ведётся в другом окне программы.";
// "Не удалось создать папку собеседования <folder>: <cause>"
std::string FolderNotCreatedText(std::string_view folder, std::string_view cause);
// "Не удалось прочитать папку собеседования <folder>: <reason>"
std::string FolderNotReadText(std::string_view folder, std::string_view reason);
// "Папку собеседования не удалось закрепить за этим окном программы (<reason>). Не открывайте
// это собеседование в другом окне."
std::string FolderNotClaimedText(std::string_view reason);
// "В папке собеседования уже есть записи участников: <count>."
std::string ExistingRecordingsText(std::size_t count);
// "В папке собеседования есть объекты с именами записей, которые не являются файлами записей:
// <names>. Они оставлены как есть и не войдут в отчёт."
std::string RecordingNamedObjectsText(std::string_view names);
// " Нумерация продолжится с участника <number>."
std::string NumberingContinuesText(long long number);
// "Нет записей участников <numbers>: в отчёте они будут указаны как несостоявшиеся записи. ..."
std::string ParticipantsWithoutRecordingText(std::string_view numbers);
// "Запись <name> обрезана до последнего целого кадра MP3: после него было <bytes> байт, которые
// не являются звуком (так бывает после сбоя питания)."
std::string RecordingTailCutText(std::string_view name, std::int64_t bytes);
// "На месте папки собеседования <folder> стоит символическая ссылка или не папка. ..."
std::string FolderIsNoFolderText(std::string_view folder);
// "На диске мало места: свободно N МБ, этого хватит примерно на M мин. записи."
std::string LowSpaceAtReadinessText(std::uint64_t freeMegabytes, std::uint64_t minutes);

// --- Exam page -------------------------------------------------------------------------------

inline constexpr const char* StartRecordingButtonText = "Начать запись";
inline constexpr const char* NextParticipantButtonText = "Следующий участник";
inline constexpr const char* CloseInterviewButtonText = "Завершить собеседование";
inline constexpr const char* QuitButtonText = "Выйти из программы";
// The banners over the level meter.
inline constexpr const char* RecordingBannerText = "Идёт запись ...";
inline constexpr const char* RecordingFailedBannerText = "Ошибка записи!";
inline constexpr const char* PackingBannerText = "Идёт упаковка архива …";
// While the silence rules report no sound from the microphone.
inline constexpr const char* NoSignalText = "Нет сигнала от микрофона! Проверьте микрофон.";
// While the free space falls short of what the interview still needs.
inline constexpr const char* LowSpaceText = "Мало места на диске!";
// The question before the next participant is recorded.
inline constexpr const char* AreYouSureText = "Вы уверены?";
inline constexpr const char* ConfirmationTitle = "Подтверждение";
// What the operator does after the microphone went away during an exam recording: the recording
// has ended like a stop, its file is complete, and nothing records until the operator starts again.
inline constexpr const char* ExamMicrophoneLostAdvice =
    " Записанное до отключения сохранено. Подключите микрофон и нажмите «Следующий участник», "
    "чтобы продолжить запись (она пойдёт в следующий файл).";
// "<dd.mm.yyyy> - собеседование по русскому языку в 9 классах"
std::string ExamDateCaption(std::string_view date);
// "Аудитория - <room>"
std::string RoomCaption(std::string_view room);
// "Участник - <number>"
std::string ParticipantCaption(std::int64_t participant);
// "Ошибка записи: <cause>"
std::string RecordingFailedText(std::string_view cause);
// The recording's length on the exam page's timer: "<m> мин. <s> сек."
std::string MinutesSecondsText(long long minutes, long long seconds);
// Audio a recording lost, in seconds with one decimal, rounded up so that no loss reads as none:
// "1,2 с".
std::string LostSecondsText(std::chrono::milliseconds lost);
// The box when a participant's recording first loses audio: "Потеряно <1,2 с> записи участника
// <participant>: ..." with why it happens and what to do; the recording goes on.
std::string AudioLostText(std::chrono::milliseconds lost, std::int64_t participant);
// Added to the banner of a recording that has lost audio, until the next participant:
// " Потеряно <1,2 с> записи!"
std::string AudioLostBannerText(std::chrono::milliseconds lost);
// The work log's line when the loss of a recording already told grows: "Потеряно уже <1,2 с>
// записи участника <participant>"
std::string AudioLossGrewText(std::chrono::milliseconds lost, std::int64_t participant);

// --- Close and archive -----------------------------------------------------------------------

inline constexpr const char* NoParticipantRecordedText =
    "Не записан ни один участник: архив без записей приёмная сторона не примет, поэтому он не "
    "создаётся. Запишите ответы участников, затем завершите собеседование.";
inline constexpr const char* ReceiverRefusesArchiveAdvice =
    " Приёмная сторона такой архив не примет. Устраните причину и завершите собеседование ещё "
    "раз.";
// The entries of the interview folder that are not packed, and what each of them is.
inline constexpr const char* SymbolicLinkKindText = "символическая ссылка";
inline constexpr const char* NamedPipeKindText = "именованный канал";
inline constexpr const char* SocketKindText = "сокет";
inline constexpr const char* DeviceKindText = "устройство";
inline constexpr const char* SpecialFileKindText = "особый файл";
inline constexpr const char* OddEntriesLeadText = "Не упакованы (это не обычные файлы): ";
// "Не упакованы скрытые файлы (их создаёт файловый менеджер, в отчёт они не входят): <paths>."
std::string HiddenEntriesLeftOutText(const std::vector<std::string>& paths);
// "Не удалось создать архив собеседования <path>: <cause>"
std::string ArchiveNotCreatedText(std::string_view archivePath, std::string_view cause);
// "Сформирован отчёт:  <report name>" (two spaces, as the page has always shown it)
std::string ReportSavedCaption(std::string_view reportName);
// "Участников: <count>"
std::string ParticipantCountCaption(std::int64_t participants);
// "Архив собеседования: <path>"
std::string ArchiveCaption(std::string_view archivePath);
// The packing's progress under its bar, with Qt's %1..%4 for the files done and in all and the
// megabytes done and in all.
inline constexpr const char* PackingProgressPattern = "Файлов: %1 из %2, МБ: %3 из %4";
// Added to a proven archive's "Архив проверен: ..." when recordings in it lost audio:
// " В записях потерян звук: 3.mp3 (1,2 с), 5.mp3 (0,4 с)." (`losses` as "3.mp3 (1,2 с)", ...)
std::string LostAudioInArchiveText(std::string_view losses);
// One recording in that list: "<file> (<1,2 с>)"
std::string LostAudioOfFileText(std::string_view fileName, std::chrono::milliseconds lost);
// "Ошибка при подсчёте контрольной суммы файла [<file>]: [<reason>]"
std::string ChecksumFailedText(std::string_view fileName, std::string_view reason);

// --- Earlier-day interviews ------------------------------------------------------------------

inline constexpr const char* UnfinishedInterviewTitle = "Незавершённое собеседование";
// "Собеседование за <day> в папке <folder> не завершено: его записи не упакованы в архив.
// Завершить его сейчас? Отчёт и архив получат дату <day>."
std::string UnfinishedInterviewQuestion(std::string_view day, std::string_view folder);
// "Собеседование за <day> завершено: отчёт <report>, участников <count>, архив <path>. <proof>"
std::string EarlierInterviewClosedText(std::string_view day, std::string_view reportName,
                                       std::int64_t participants, std::string_view archivePath,
                                       std::string_view proof);

// --- Quitting and the session's end ----------------------------------------------------------

inline constexpr const char* QuitWhilePackingQuestion =
    "Архив ещё упаковывается. Выйти из программы?";
inline constexpr const char* QuitUnfinishedQuestion =
    "Собеседование не завершено. Выйти из программы?";

// --- Causes of failures ----------------------------------------------------------------------

// The short causes put before a layer's original text, where the operator can act on them.
inline constexpr const char* MicrophoneUnavailableText = "Микрофон недоступен";
inline constexpr const char* MicrophoneLostText = "Микрофон отключён";
inline constexpr const char* DiskFullText = "Нет места на диске";
inline constexpr const char* NoAccessText = "Нет доступа к папке";
inline constexpr const char* SymbolicLinkCauseText =
    "На месте файла стоит символическая ссылка; программа не пишет и не читает через ссылки. "
    "Удалите ссылку и повторите";
inline constexpr const char* NotRegularFileCauseText =
    "На месте файла стоит не обычный файл (канал, устройство или сокет). Удалите его и повторите";
// What the other failures were, put before a text in the layers' English.
inline constexpr const char* FileInPlaceOfFolderText = "На месте папки находится файл";
inline constexpr const char* FileInUseText =
    "Файл занят другим окном программы или другой программой";
inline constexpr const char* TagsNotWrittenText =
    "Не удалось записать сведения о записи (теги) в файл";
inline constexpr const char* NotFoundText = "Файл или папка не найдены";
inline constexpr const char* FolderInPlaceOfFileText = "На месте файла находится папка";
inline constexpr const char* LibraryMissingText = "Не найдена нужная библиотека программы";
inline constexpr const char* EncoderFailedText = "Ошибка кодировщика MP3";
inline constexpr const char* PreviousRecordingFinishingText = "Предыдущая запись ещё завершается";
inline constexpr const char* FileNotWrittenText = "Не удалось записать файл";
inline constexpr const char* FileNotCreatedText = "Не удалось создать файл";
inline constexpr const char* FileNotOpenedText = "Не удалось открыть файл";
inline constexpr const char* UnexpectedErrorText = "Непредвиденная ошибка";

// --- Work log --------------------------------------------------------------------------------

// Handed to the log's failure callback before the reason.
inline constexpr const char* WorkLogNotKeptPrefix = "Журнал станции не ведётся: ";
// "Параметры сохранены: <region>; <school name>; код ОУ <code>, аудитория <room>"
std::string ParametersSavedLogText(std::string_view region, std::string_view schoolName,
                                   std::string_view schoolCode6, std::string_view room3);
// "Готовность подтверждена: папка <folder>"
std::string ReadinessConfirmedLogText(std::string_view interviewDir);
// "Запись начата: <file>"
std::string RecordingStartedLogText(std::string_view fileName);
// "Запись завершена: <file>, <m> мин. <s> сек."
std::string RecordingStoppedLogText(std::string_view fileName, long long minutes,
                                    long long seconds);
// Added to that line when the recording lost audio: ", потеряно <1,2 с> записи"
std::string LostAudioLogSuffix(std::chrono::milliseconds lost);
// A pass the station finished that left no file: "Запись не состоялась: <file> (файл не создан)"
std::string RecordingNotMadeLogText(std::string_view fileName);
// "Ошибка: <text>"
std::string FailureLogText(std::string_view text);
// "Предупреждение: <text>"
std::string WarningLogText(std::string_view text);
// "Сообщение: <text>"
std::string NoticeLogText(std::string_view text);
// "Собеседование завершено: отчёт <report>, участников <count>"
std::string InterviewClosedLogText(std::string_view reportName, std::int64_t participants);
// "Архив записан: <path>"
std::string ArchiveWrittenLogText(std::string_view archivePath);
// "Архив не записан: <reason>"
std::string ArchiveFailedLogText(std::string_view reason);
// "Сеанс завершается (<cause>), программа закрывается"
std::string SessionEndingLogText(std::string_view cause);

// --- Command line ----------------------------------------------------------------------------

inline constexpr std::string_view CommandLineHelpText =
    "Использование: interview-station [--help | --version | --check]\n"
    "\n"
    "Собеседование по русскому языку: рабочее место аудитории для записи устных ответов\n"
    "участников итогового собеседования по русскому языку в 9 классе.\n"
    "\n"
    "Папка собеседования с записями участников и отчётом и архив ZIP сохраняются на рабочем\n"
    "столе пользователя. Тестовая запись микрофона (test01.mp3) - в папке программы или, если\n"
    "она закрыта для записи, в $XDG_CACHE_HOME/interview-station (~/.cache/interview-station).\n"
    "Журнал работы - $XDG_STATE_HOME/interview-station/station.log\n"
    "(~/.local/state/interview-station/station.log).\n"
    "\n"
    "  --check    проверить, что загружаются библиотеки записи и архивации\n"
    "  --version  показать версию программы\n"
    "  --help     показать эту справку\n";
// "не загружается (<reason>)"
std::string LibraryNotLoadedText(std::string_view reason);

} // namespace station
