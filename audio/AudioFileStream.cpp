#include "audio/AudioFileStream.h"

#include "audio/AudioException.h"
#include "audio/WideText.h"

#include <cerrno>
#include <cstdio>
#include <optional>

namespace audio {
namespace {

platform::FileAccess AccessOf(std::uint16_t Mode) {
    switch (Mode & 3) {
    case 0:
        return platform::FileAccess::Read;
    case 1:
        return platform::FileAccess::Write;
    default:
        return platform::FileAccess::ReadWrite;
    }
}

platform::FileShare ShareOf(std::uint16_t Mode) {
    switch ((Mode >> 4) & 15) {
    case 2:
        return platform::FileShare::Read;
    case 3:
        return platform::FileShare::Write;
    case 4:
        return platform::FileShare::ReadWrite;
    default:
        // 0, 1 and anything undefined: keep the file to ourselves.
        return platform::FileShare::None;
    }
}

platform::FileHandle OpenFile(const std::u16string& FileName, std::uint16_t Mode) {
    const std::string path = Utf16ToUtf8(FileName);
    try {
        if (Mode == TAudioFileStream::fmCreate)
            return platform::FileHandle::Open(path, platform::FileAccess::ReadWrite,
                                              platform::FileShare::None,
                                              platform::FileDisposition::CreateAlways);
        return platform::FileHandle::Open(path, AccessOf(Mode), ShareOf(Mode),
                                          platform::FileDisposition::OpenExisting);
    } catch (const platform::FileError& error) {
        throw EAudioException(error.what(), error.Cause());
    }
}

} // namespace

TAudioFileStream::TAudioFileStream(const std::u16string& FileName, std::uint16_t Mode,
                                   std::uint32_t Rights)
    : FHandle(OpenFile(FileName, Mode)) {
    (void)Rights;
}

void TAudioFileStream::KeepSynced(std::chrono::milliseconds Interval) {
    try {
        FSync = std::make_unique<platform::PeriodicSync>(FHandle, Interval);
    } catch (const platform::FileError& error) {
        throw EAudioException(error.what(), error.Cause());
    }
}

void TAudioFileStream::Close() {
    if (!FHandle.IsOpen())
        return;
    std::optional<platform::FileError> failure;
    if (FSync) {
        try {
            FSync->Finish();
        } catch (const platform::FileError& error) {
            failure = error;
        }
        FSync.reset();
    }
    try {
        FHandle.Sync();
    } catch (const platform::FileError& error) {
        if (!failure)
            failure = error;
    }
    const std::string path = FHandle.Path();
    errno = 0;
    if (!FHandle.Close() && !failure)
        failure =
            platform::SystemFileError(errno ? errno : EIO, "Cannot write file \"" + path + "\". ",
                                      platform::FailureKind::FileNotWritten);
    if (failure)
        throw EAudioException(failure->what(), failure->Cause());
}

std::size_t TAudioFileStream::Write(const void* Buffer, std::size_t Count) {
    return FHandle.Write(Buffer, Count);
}

std::size_t TAudioFileStream::Read(void* Buffer, std::size_t Count) {
    try {
        return FHandle.Read(Buffer, Count);
    } catch (const platform::FileError& error) {
        throw EAudioException(error.what(), error.Cause());
    }
}

std::int64_t TAudioFileStream::Seek(std::int64_t Offset, int Origin) {
    const int whence = Origin == 1 ? SEEK_CUR : Origin == 2 ? SEEK_END : SEEK_SET;
    try {
        return FHandle.Seek(Offset, whence);
    } catch (const platform::FileError& error) {
        throw EAudioException(error.what(), error.Cause());
    }
}

std::int64_t TAudioFileStream::Size() const {
    try {
        return FHandle.Size();
    } catch (const platform::FileError& error) {
        throw EAudioException(error.what(), error.Cause());
    }
}

void TAudioFileStream::SetSize(std::int64_t NewSize) {
    try {
        FHandle.Truncate(NewSize);
        FHandle.Seek(NewSize, SEEK_SET);
    } catch (const platform::FileError& error) {
        throw EAudioException(error.what(), error.Cause());
    }
}

} // namespace audio
