#include "station/safeguards/OperatorMessages.h"

#include "platform/DiskSync.h"
#include "platform/FileStream.h"
#include "testsupport/TemporaryFileSystem.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

using namespace station;

namespace {

using platform::FailureCause;
using platform::FailureKind;
using testsupport::TemporaryFileSystem;

// Every cause the layers name, told in the words the operator has always read, the layer's own
// text kept after it.
TEST(OperatorMessagesTest, TellsEachCauseInRussianBeforeTheOriginal) {
    struct Case {
        FailureKind kind;
        const char* original;
        const char* russian;
    };
    const Case cases[] = {
        {FailureKind::NoSoundServer, "Input failed: DirectSound error 0x88780078",
         "Микрофон недоступен"},
        {FailureKind::NoMicrophone, "Invalid device number", "Микрофон недоступен"},
        {FailureKind::MicrophoneGone, "Input failed: DirectSound error 0x88890004",
         "Микрофон отключён"},
        {FailureKind::DiskFull, "Error writing down mp3 file", "Нет места на диске"},
        {FailureKind::NoAccess, "Cannot create file \"/x/1.mp3\". Permission denied",
         "Нет доступа к папке"},
        {FailureKind::NotADirectory, "Not a directory", "На месте папки находится файл"},
        {FailureKind::FileInUse, "Cannot open file \"/x/1.mp3\". The process cannot access",
         "Файл занят другим окном программы или другой программой"},
        {FailureKind::TagsNotWritten, "Failed to write tags",
         "Не удалось записать сведения о записи (теги) в файл"},
        {FailureKind::NotFound, "No such file or directory", "Файл или папка не найдены"},
        {FailureKind::IsADirectory, "Is a directory", "На месте файла находится папка"},
        {FailureKind::LibraryMissing, "Sevenzip: Failed to load 7z.so",
         "Не найдена нужная библиотека программы"},
        {FailureKind::EncoderFailed, "LAME Error: 2", "Ошибка кодировщика MP3"},
        {FailureKind::ComponentBusy, "Component is Busy", "Предыдущая запись ещё завершается"},
        {FailureKind::FileNotWritten, "Error writing down mp3 file", "Не удалось записать файл"},
        {FailureKind::FileNotCreated, "Cannot create file \"/x\". Input/output error",
         "Не удалось создать файл"},
        {FailureKind::FileNotOpened, "Cannot open file \"/x\". Input/output error",
         "Не удалось открыть файл"},
        {FailureKind::Other, "Something nobody foresaw", "Непредвиденная ошибка"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OperatorText(c.original, {c.kind, 0}),
                  std::string(c.russian) + " (" + c.original + ")");
}

// A text already written for the operator stays as it is unless its cause is one the operator
// acts on; the cause is never read from the words.
TEST(OperatorMessagesTest, RussianTextsAndTheWordsThemselves) {
    EXPECT_EQ(OperatorText("Ошибка уже по-русски", {}), "Ошибка уже по-русски");
    EXPECT_EQ(OperatorText("Ошибка уже по-русски", {FailureKind::FileNotWritten, EIO}),
              "Ошибка уже по-русски");
    EXPECT_EQ(OperatorText("Ошибка уже по-русски", {FailureKind::DiskFull, ENOSPC}),
              "Нет места на диске (Ошибка уже по-русски)");
    EXPECT_EQ(OperatorText("", {}), "");
    EXPECT_EQ(OperatorText("Cannot create file \"/x\". No space left on device", {}),
              "Непредвиденная ошибка (Cannot create file \"/x\". No space left on device)");
}

TEST(OperatorMessagesTest, ErrorNumbersNameTheirCauses) {
    struct Case {
        int errorNumber;
        FailureKind expected;
    };
    const Case cases[] = {
        {ENOSPC, FailureKind::DiskFull},    {EDQUOT, FailureKind::DiskFull},
        {EACCES, FailureKind::NoAccess},    {EPERM, FailureKind::NoAccess},
        {EROFS, FailureKind::NoAccess},     {ENOTDIR, FailureKind::NotADirectory},
        {ENOENT, FailureKind::NotFound},    {EISDIR, FailureKind::IsADirectory},
        {EIO, FailureKind::FileNotWritten}, {0, FailureKind::FileNotWritten},
    };
    for (const Case& c : cases) {
        const FailureCause cause =
            platform::CauseOfError(c.errorNumber, FailureKind::FileNotWritten);
        EXPECT_EQ(cause.kind, c.expected) << c.errorNumber;
        EXPECT_EQ(cause.errorNumber, c.errorNumber);
    }
}

// The file layer's own failures on a disk that is full and on one that may not be written carry
// their cause and errno.
TEST(OperatorMessagesTest, RealFullAndReadOnlyDisks) {
    TemporaryFileSystem full("size=64k");
    TemporaryFileSystem readOnly("ro");
    if (!full.Mounted() || !readOnly.Mounted())
        GTEST_SKIP() << full.SkipReason();

    try {
        platform::ReplaceFileContent(full.Folder() + "/report.csv", std::string(128 * 1024, 'x'));
        FAIL() << "128 KiB fitted on a 64 KiB disk";
    } catch (const platform::FileError& failure) {
        EXPECT_EQ(failure.Cause().kind, FailureKind::DiskFull) << failure.what();
        EXPECT_EQ(failure.Cause().errorNumber, ENOSPC);
        EXPECT_EQ(OperatorText(failure),
                  "Нет места на диске (" + std::string(failure.what()) + ")");
    }

    try {
        platform::FileHandle::Open(readOnly.Folder() + "/1.mp3", platform::FileAccess::Write,
                                   platform::FileShare::None,
                                   platform::FileDisposition::CreateAlways);
        FAIL() << "a file was created on a read-only disk";
    } catch (const platform::FileError& failure) {
        EXPECT_EQ(failure.Cause().kind, FailureKind::NoAccess) << failure.what();
        EXPECT_EQ(failure.Cause().errorNumber, EROFS);
    }
}

} // namespace
