#include "station/safeguards/OperatorMessages.h"

#include "platform/FileStream.h"
#include "platform/testing/TemporaryFileSystem.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using platform::testing::TemporaryFileSystem;

// The texts as the capture source, the MP3 output, the file layer and the archive writer raise
// them.
TEST(OperatorMessagesTest, ReadsTheCauseFromTheLayersTexts) {
    struct Case {
        const char* original;
        int errorNumber;
        FailureCause expected;
    };
    const Case cases[] = {
        {"Input failed: DirectSound error 0x88780078", 0, FailureCause::Microphone},
        {"Input failed: DirectSound error 0x80004005", 0, FailureCause::Microphone},
        {"Input failed: DirectSound error 0x88890004", 0, FailureCause::MicrophoneLost},
        {"Invalid device number", 0, FailureCause::Microphone},
        {"Failed to create DirectSound device: DSERR_NODRIVER", 0, FailureCause::Microphone},
        {"Failed to create DirectSound buffer", 0, FailureCause::Microphone},
        {"Connection refused", 0, FailureCause::Microphone},
        {"Cannot create file \"/home/u/Desktop/01-10122026-000145-012/1.mp3\". No space left on "
         "device",
         0, FailureCause::DiskFull},
        {"Cannot create file \"/home/u/Desktop/a.zip\". Disk quota exceeded", 0,
         FailureCause::DiskFull},
        {"No space left on device", 0, FailureCause::DiskFull},
        {"Error writing down mp3 file", ENOSPC, FailureCause::DiskFull},
        {"Stream write error", EDQUOT, FailureCause::DiskFull},
        {"Error writing down mp3 file", 0, FailureCause::Unknown},
        {"Error writing down mp3 file", EIO, FailureCause::Unknown},
        {"Cannot create file \"/home/u/Desktop/01-10122026-000145-012/1.mp3\". Permission denied",
         0, FailureCause::NoAccess},
        {"Cannot create file \"/media/usb/01.csv\". Read-only file system", 0,
         FailureCause::NoAccess},
        {"Cannot open file \"/x/1.mp3\". Operation not permitted", 0, FailureCause::NoAccess},
        {"Cannot create file \"/x/1.mp3\". No such file or directory", 0, FailureCause::Unknown},
        {"LAME Error: 2", 0, FailureCause::Unknown},
        {"Sevenzip: Failed to load 7z.so", 0, FailureCause::Unknown},
        {"Component is Busy", 0, FailureCause::Unknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyFailure(c.original, c.errorNumber), c.expected) << c.original;
}

TEST(OperatorMessagesTest, PutsTheCauseFirstAndKeepsTheOriginal) {
    EXPECT_EQ("Ошибка записи: " + OperatorText("Input failed: DirectSound error 0x88780078"),
              "Ошибка записи: Микрофон недоступен (Input failed: DirectSound error 0x88780078)");
    EXPECT_EQ(OperatorText("Input failed: DirectSound error 0x88890004"),
              "Микрофон отключён (Input failed: DirectSound error 0x88890004)");
    EXPECT_EQ(OperatorText("Error writing down mp3 file", ENOSPC),
              "Нет места на диске (Error writing down mp3 file)");
    EXPECT_EQ(OperatorText("Cannot create file \"/x/1.mp3\". Permission denied"),
              "Нет доступа к папке (Cannot create file \"/x/1.mp3\". Permission denied)");
}

// No operator text is English only: the layers' own wordings are told in Russian first.
TEST(OperatorMessagesTest, EnglishTextsGetARussianCauseFirst) {
    const std::pair<std::string, std::string> cases[] = {
        {"Not a directory", "На месте папки находится файл (Not a directory)"},
        {std::string("Cannot open file \"/x/1.mp3\". ") + platform::SharingViolationText,
         "Файл занят другим окном программы или другой программой (Cannot open file "
         "\"/x/1.mp3\". " +
             std::string(platform::SharingViolationText) + ")"},
        {"Failed to write tags",
         "Не удалось записать сведения о записи (теги) в файл (Failed to write tags)"},
        {"Cannot create file \"/x/r.csv\". Is a directory",
         "На месте файла находится папка (Cannot create file \"/x/r.csv\". Is a directory)"},
        {"LAME Error: 2", "Ошибка кодировщика MP3 (LAME Error: 2)"},
        {"Sevenzip: Failed to load 7z.so",
         "Не найдена нужная библиотека программы (Sevenzip: Failed to load 7z.so)"},
        {"Something nobody foresaw", "Непредвиденная ошибка (Something nobody foresaw)"},
        {"Ошибка записи уже по-русски", "Ошибка записи уже по-русски"},
    };
    for (const auto& [original, shown] : cases)
        EXPECT_EQ(OperatorText(original), shown);
}

// The file layer's own failures on a disk that is full and on one that may not be written, and
// the cause judged afterwards from the folder for a write failure that names none.
TEST(OperatorMessagesTest, RealFullAndReadOnlyDisks) {
    TemporaryFileSystem full("size=64k");
    TemporaryFileSystem readOnly("ro");
    if (!full.Mounted() || !readOnly.Mounted())
        GTEST_SKIP() << full.SkipReason();

    auto file = platform::FileHandle::Open(full.Folder() + "/1.mp3", platform::FileAccess::Write,
                                           platform::FileShare::None,
                                           platform::FileDisposition::CreateAlways);
    const std::vector<char> block(128 * 1024, 'x');
    errno = 0;
    EXPECT_LT(file.Write(block.data(), block.size()), block.size());
    EXPECT_EQ(ClassifyFailure(platform::SystemErrorText(errno)), FailureCause::DiskFull);
    EXPECT_EQ(ProbableWriteError(full.Folder()), ENOSPC);

    try {
        platform::FileHandle::Open(readOnly.Folder() + "/1.mp3", platform::FileAccess::Write,
                                   platform::FileShare::None,
                                   platform::FileDisposition::CreateAlways);
        FAIL() << "a file was created on a read-only disk";
    } catch (const platform::FileError& failure) {
        EXPECT_EQ(ClassifyFailure(failure.what()), FailureCause::NoAccess) << failure.what();
    }
    EXPECT_EQ(ProbableWriteError(readOnly.Folder()), EACCES);
    EXPECT_EQ(ProbableWriteError(std::filesystem::temp_directory_path().string()), 0);
}

} // namespace
