#include "station/OperatorTexts.h"

#include <cstdio>
#include <initializer_list>

namespace station {

namespace {

std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts)
        text += part;
    return text;
}

} // namespace

std::string UnreportableCharacterText(std::string_view field, std::string_view character) {
    return Joined({"Поле «", field, "» содержит символ ", character,
                   ", который нельзя записать в отчёт собеседования. Удалите его или замените."});
}

std::string InvalidByteText(unsigned char byte) {
    char text[16];
    std::snprintf(text, sizeof text, "байт 0x%02X", byte);
    return text;
}

std::string NameEndingText(std::string_view field) {
    return Joined({"Поле «", field,
                   "» не может быть пустым, состоять из пробелов или кончаться точкой или "
                   "пробелом: такое имя папки и архива не сохранится в Windows, где архив могут "
                   "распаковать. Исправьте поле и сохраните параметры ещё раз."});
}

std::string MicrophoneCheckFailedText(std::string_view cause) {
    return Joined({"Ошибка проверки микрофона: ", cause});
}

std::string FolderNotCreatedText(std::string_view folder, std::string_view cause) {
    return Joined({"Не удалось создать папку собеседования ", folder, ": ", cause});
}

std::string FolderNotReadText(std::string_view folder, std::string_view reason) {
    return Joined({"Не удалось прочитать папку собеседования ", folder, ": ", reason});
}

std::string FolderNotClaimedText(std::string_view reason) {
    return Joined({"Папку собеседования не удалось закрепить за этим окном программы (", reason,
                   "). Не открывайте это собеседование в другом окне."});
}

std::string ExistingRecordingsText(std::size_t count) {
    return Joined(
        {"В папке собеседования уже есть записи участников: ", std::to_string(count), "."});
}

std::string RecordingNamedObjectsText(std::string_view names) {
    return Joined({"В папке собеседования есть объекты с именами записей, которые не являются "
                   "файлами записей: ",
                   names, ". Они оставлены как есть и не войдут в отчёт."});
}

std::string NumberingContinuesText(long long number) {
    return Joined({" Нумерация продолжится с участника ", std::to_string(number), "."});
}

std::string ParticipantsWithoutRecordingText(std::string_view numbers) {
    return Joined({"Нет записей участников ", numbers,
                   ": в отчёте они будут указаны как несостоявшиеся записи. Если такой участник "
                   "ещё здесь, запишите его под следующим номером."});
}

std::string RecordingTailCutText(std::string_view name, std::int64_t bytes) {
    return Joined({"Запись ", name, " обрезана до последнего целого кадра MP3: после него было ",
                   std::to_string(bytes),
                   " байт, которые не являются звуком (так бывает после сбоя питания)."});
}

std::string FolderIsNoFolderText(std::string_view folder) {
    return Joined({"На месте папки собеседования ", folder,
                   " стоит символическая ссылка или файл, а не папка; программа не пишет через "
                   "ссылки. Переименуйте или уберите его с рабочего стола и подтвердите "
                   "готовность ещё раз."});
}

std::string HiddenEntriesLeftOutText(const std::vector<std::string>& paths) {
    std::string names;
    for (const std::string& path : paths)
        names += (names.empty() ? "" : ", ") + path;
    return Joined({"Не упакованы скрытые файлы (их создаёт файловый менеджер, в отчёт они не "
                   "входят): ",
                   names, "."});
}

std::string LowSpaceAtReadinessText(std::uint64_t freeMegabytes, std::uint64_t minutes) {
    return Joined({"На диске мало места: свободно ", std::to_string(freeMegabytes),
                   " МБ, этого хватит примерно на ", std::to_string(minutes), " мин. записи."});
}

std::string ExamDateCaption(std::string_view date) {
    return Joined({date, " - собеседование по русскому языку в 9 классах"});
}

std::string RoomCaption(std::string_view room) {
    return Joined({"Аудитория - ", room});
}

std::string ParticipantCaption(std::int64_t participant) {
    return Joined({"Участник - ", std::to_string(participant)});
}

std::string RecordingFailedText(std::string_view cause) {
    return Joined({"Ошибка записи: ", cause});
}

std::string MinutesSecondsText(long long minutes, long long seconds) {
    return Joined({std::to_string(minutes), " мин. ", std::to_string(seconds), " сек."});
}

std::string LostSecondsText(std::chrono::milliseconds lost) {
    const long long tenths = lost.count() <= 0 ? 0 : (lost.count() + 99) / 100;
    return Joined({std::to_string(tenths / 10), ",", std::to_string(tenths % 10), " с"});
}

std::string AudioLostText(std::chrono::milliseconds lost, std::int64_t participant) {
    return Joined({"Потеряно ", LostSecondsText(lost), " записи участника ",
                   std::to_string(participant),
                   ": часть звука с микрофона не попала в файл (компьютер или диск не успевают, "
                   "или микрофоном пользуется другая программа). Запись продолжается. Закройте "
                   "другие программы, которые записывают звук. Если потерянная часть ответа "
                   "важна, когда участник закончит, нажмите «Следующий участник» и запишите его "
                   "ответ ещё раз под следующим номером."});
}

std::string AudioLostBannerText(std::chrono::milliseconds lost) {
    return Joined({" Потеряно ", LostSecondsText(lost), " записи!"});
}

std::string AudioLossGrewText(std::chrono::milliseconds lost, std::int64_t participant) {
    return Joined({"Потеряно уже ", LostSecondsText(lost), " записи участника ",
                   std::to_string(participant)});
}

std::string LostAudioInArchiveText(std::string_view losses) {
    return Joined({" В записях потерян звук: ", losses, "."});
}

std::string LostAudioOfFileText(std::string_view fileName, std::chrono::milliseconds lost) {
    return Joined({fileName, " (", LostSecondsText(lost), ")"});
}

std::string ArchiveNotCreatedText(std::string_view archivePath, std::string_view cause) {
    return Joined({"Не удалось создать архив собеседования ", archivePath, ": ", cause});
}

std::string ReportSavedCaption(std::string_view reportName) {
    return Joined({"Сформирован отчёт:  ", reportName});
}

std::string ParticipantCountCaption(std::int64_t participants) {
    return Joined({"Участников: ", std::to_string(participants)});
}

std::string ArchiveCaption(std::string_view archivePath) {
    return Joined({"Архив собеседования: ", archivePath});
}

std::string ChecksumFailedText(std::string_view fileName, std::string_view reason) {
    return Joined({"Ошибка при подсчёте контрольной суммы файла [", fileName, "]: [", reason, "]"});
}

std::string UnfinishedInterviewQuestion(std::string_view day, std::string_view folder) {
    return Joined({"Собеседование за ", day, " в папке ", folder,
                   " не завершено: его записи не упакованы в архив. Завершить его сейчас? "
                   "Отчёт и архив получат дату ",
                   day, "."});
}

std::string EarlierInterviewClosedText(std::string_view day, std::string_view reportName,
                                       std::int64_t participants, std::string_view archivePath,
                                       std::string_view proof) {
    return Joined({"Собеседование за ", day, " завершено: отчёт ", reportName, ", участников ",
                   std::to_string(participants), ", архив ", archivePath, ". ", proof});
}

std::string ParametersSavedLogText(std::string_view region, std::string_view schoolName,
                                   std::string_view schoolCode6, std::string_view room3) {
    return Joined({"Параметры сохранены: ", region, "; ", schoolName, "; код ОУ ", schoolCode6,
                   ", аудитория ", room3});
}

std::string ReadinessConfirmedLogText(std::string_view interviewDir) {
    return Joined({"Готовность подтверждена: папка ", interviewDir});
}

std::string RecordingStartedLogText(std::string_view fileName) {
    return Joined({"Запись начата: ", fileName});
}

std::string RecordingStoppedLogText(std::string_view fileName, long long minutes,
                                    long long seconds) {
    return Joined({"Запись завершена: ", fileName, ", ", MinutesSecondsText(minutes, seconds)});
}

std::string LostAudioLogSuffix(std::chrono::milliseconds lost) {
    return Joined({", потеряно ", LostSecondsText(lost), " записи"});
}

std::string RecordingNotMadeLogText(std::string_view fileName) {
    return Joined({"Запись не состоялась: ", fileName, " (файл не создан)"});
}

std::string FailureLogText(std::string_view text) {
    return Joined({"Ошибка: ", text});
}

std::string WarningLogText(std::string_view text) {
    return Joined({"Предупреждение: ", text});
}

std::string NoticeLogText(std::string_view text) {
    return Joined({"Сообщение: ", text});
}

std::string InterviewClosedLogText(std::string_view reportName, std::int64_t participants) {
    return Joined({"Собеседование завершено: отчёт ", reportName, ", участников ",
                   std::to_string(participants)});
}

std::string ArchiveWrittenLogText(std::string_view archivePath) {
    return Joined({"Архив записан: ", archivePath});
}

std::string ArchiveFailedLogText(std::string_view reason) {
    return Joined({"Архив не записан: ", reason});
}

std::string SessionEndingLogText(std::string_view cause) {
    return Joined({"Сеанс завершается (", cause, "), программа закрывается"});
}

std::string LibraryNotLoadedText(std::string_view reason) {
    return Joined({"не загружается (", reason, ")"});
}

} // namespace station
