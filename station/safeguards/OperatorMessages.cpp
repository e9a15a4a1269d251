#include "station/safeguards/OperatorMessages.h"

#include "platform/FileFacts.h"
#include "platform/FileStream.h"
#include "platform/FileSystemFacts.h"

#include <cerrno>
#include <initializer_list>

namespace {

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

bool ContainsAny(std::string_view text, std::initializer_list<std::string_view> parts) {
    for (const std::string_view part : parts)
        if (Contains(text, part))
            return true;
    return false;
}

// Error numbers by cause, and whether the text carries the system's wording of one of them (in the
// English of the layers' own messages, or in the language the system speaks to this process).
constexpr std::initializer_list<int> DiskFullErrors = {ENOSPC, EDQUOT};
constexpr std::initializer_list<int> NoAccessErrors = {EACCES, EPERM, EROFS};

bool IsOneOf(int errorNumber, std::initializer_list<int> errors) {
    for (const int error : errors)
        if (errorNumber == error)
            return true;
    return false;
}

bool NamesSystemError(std::string_view text, std::initializer_list<int> errors) {
    for (const int error : errors)
        if (Contains(text, platform::SystemErrorText(error)))
            return true;
    return false;
}

// What a failure without a cause the operator can act on was, in Russian, by the words of the layer
// that raised it. The more particular wordings come first.
struct Wording {
    std::string_view original;
    const char* russian;
};
constexpr Wording Wordings[] = {
    {"Not a directory", "На месте папки находится файл"},
    {"being used by another process", "Файл занят другим окном программы или другой программой"},
    {"Failed to write tags", "Не удалось записать сведения о записи (теги) в файл"},
    {"No such file or directory", "Файл или папка не найдены"},
    {"Is a directory", "На месте файла находится папка"},
    {"Failed to load", "Не найдена нужная библиотека программы"},
    {"could not be loaded", "Не найдена нужная библиотека программы"},
    {"LAME Error", "Ошибка кодировщика MP3"},
    {"Component is Busy", "Предыдущая запись ещё завершается"},
    {"Error writing down mp3 file", "Не удалось записать файл"},
    {"write error", "Не удалось записать файл"},
    {"Cannot create file", "Не удалось создать файл"},
    {"Cannot open file", "Не удалось открыть файл"},
    {"Cannot write file", "Не удалось записать файл"},
};

// Whether the text is already written for the operator: it holds a Cyrillic letter (U+0400..U+04FF
// starts with the byte D0 or D1 in UTF-8).
bool IsRussian(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) == 0xD0 || static_cast<unsigned char>(c) == 0xD1)
            return true;
    return false;
}

// The Russian words put before a text in the layers' English: the wording's, or a general one, so
// that no operator text is English only.
std::string Described(std::string_view original) {
    if (original.empty() || IsRussian(original))
        return std::string(original);
    const char* russian = "Непредвиденная ошибка";
    for (const Wording& wording : Wordings)
        if (Contains(original, wording.original)) {
            russian = wording.russian;
            break;
        }
    return std::string(russian) + " (" + std::string(original) + ")";
}

} // namespace

FailureCause ClassifyFailure(std::string_view original, int errorNumber) {
    // The capture source's code for a device that went away under the stream.
    if (Contains(original, "Input failed: DirectSound error 0x88890004"))
        return FailureCause::MicrophoneLost;
    // The capture source's own failures: no device, a device that failed or went silent, or no
    // sound server to reach one.
    if (ContainsAny(original,
                    {"Input failed: DirectSound error", "Invalid device number",
                     "Failed to create DirectSound device", "Failed to create DirectSound buffer",
                     "Connection refused", "Connection terminated"}))
        return FailureCause::Microphone;
    if (Contains(original, platform::SymbolicLinkText))
        return FailureCause::SymbolicLink;
    if (Contains(original, platform::NotRegularFileText))
        return FailureCause::NotRegularFile;
    if (ContainsAny(original, {"No space left on device", "Disk quota exceeded"}) ||
        NamesSystemError(original, DiskFullErrors))
        return FailureCause::DiskFull;
    if (ContainsAny(original,
                    {"Permission denied", "Operation not permitted", "Read-only file system"}) ||
        NamesSystemError(original, NoAccessErrors))
        return FailureCause::NoAccess;
    if (IsOneOf(errorNumber, DiskFullErrors))
        return FailureCause::DiskFull;
    if (IsOneOf(errorNumber, NoAccessErrors))
        return FailureCause::NoAccess;
    return FailureCause::Unknown;
}

std::string OperatorText(std::string_view original, int errorNumber) {
    const char* cause = nullptr;
    switch (ClassifyFailure(original, errorNumber)) {
    case FailureCause::Unknown:
        return Described(original);
    case FailureCause::Microphone:
        cause = MicrophoneUnavailableText;
        break;
    case FailureCause::MicrophoneLost:
        cause = MicrophoneLostText;
        break;
    case FailureCause::DiskFull:
        cause = DiskFullText;
        break;
    case FailureCause::NoAccess:
        cause = NoAccessText;
        break;
    case FailureCause::SymbolicLink:
        cause = SymbolicLinkCauseText;
        break;
    case FailureCause::NotRegularFile:
        cause = NotRegularFileCauseText;
        break;
    }
    return std::string(cause) + " (" + std::string(original) + ")";
}

int ProbableWriteError(const std::string& folder) {
    // Less than one MP3 write's worth with the encoder's tail and the closing block: the write
    // that failed found the disk full.
    constexpr std::uint64_t NearlyFull = 64 * 1024;
    try {
        if (platform::FreeBytes(folder) < NearlyFull)
            return ENOSPC;
    } catch (const platform::FileError&) {
        return 0;
    }
    return platform::IsWritableFolder(folder) ? 0 : EACCES;
}
