#include "archive/Streams.h"

#include <algorithm>
#include <cerrno>

namespace archive {

TFileStream::TFileStream(const std::string& fileName, platform::FileAccess access,
                         platform::FileShare share, platform::FileDisposition disposition)
    : fileName_(fileName), file_(platform::FileHandle::Open(fileName, access, share, disposition)) {
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    return file_.Read(buffer, count);
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
    errno = 0;
    const std::size_t written = file_.Write(buffer, count);
    if (written < count) {
        // A full disk or a size limit: the archive must not be taken for complete.
        const int error = errno;
        throw EStreamError(error ? platform::SystemErrorText(error) : "Stream write error",
                           platform::CauseOfError(error, platform::FailureKind::FileNotWritten));
    }
    return written;
}

std::int64_t TFileStream::Seek(std::int64_t offset, int origin) {
    return file_.Seek(offset, origin);
}

std::int64_t TFileStream::Size() {
    return file_.Size();
}

void TFileStream::SetSize(std::int64_t size) {
    file_.Truncate(size);
}

TSplitStream::TSplitStream(TVolumeStreamRequest streamFor, TVolumeSizeRequest sizeFor,
                           bool forcePosition)
    : forcePosition_(forcePosition), streamFor_(std::move(streamFor)),
      sizeFor_(std::move(sizeFor)) {}

bool TSplitStream::SelectVolume(std::int32_t index) {
    if (index == current_.Volume)
        return true;
    TStream* stream = streamFor_(index);
    if (!stream)
        return false;
    current_.Limit = sizeFor_(index);
    current_.Stream = stream;
    current_.Volume = index;
    current_.VolumePosition = 0;
    stream->Seek(0, static_cast<int>(SeekOrigin::Begin));
    return true;
}

bool TSplitStream::EnsureVolume() {
    return current_.Volume >= 0 || SelectVolume(0);
}

std::size_t TSplitStream::RoomInVolume(std::size_t wanted) const {
    if (current_.Limit <= 0)
        return wanted;
    const std::int64_t room = std::max<std::int64_t>(0, current_.Limit - current_.VolumePosition);
    return static_cast<std::size_t>(
        std::min<std::int64_t>(room, static_cast<std::int64_t>(wanted)));
}

void TSplitStream::Restore(const Selection& saved) {
    current_ = saved;
    if (current_.Stream)
        current_.Stream->Seek(current_.VolumePosition, static_cast<int>(SeekOrigin::Begin));
}

template <typename Transfer>
std::size_t TSplitStream::AcrossVolumes(std::size_t count, Transfer transfer) {
    if (!EnsureVolume())
        return 0;
    std::size_t total = 0;
    while (total < count) {
        const std::size_t wanted = RoomInVolume(count - total);
        if (wanted > 0) {
            if (forcePosition_)
                current_.Stream->Seek(current_.VolumePosition, static_cast<int>(SeekOrigin::Begin));
            const std::size_t moved = transfer(*current_.Stream, total, wanted);
            total += moved;
            current_.VolumePosition += static_cast<std::int64_t>(moved);
            current_.Position += static_cast<std::int64_t>(moved);
            if (moved < wanted)
                break;
        }
        if (total == count || current_.Limit <= 0 || !SelectVolume(current_.Volume + 1))
            break;
    }
    return total;
}

std::size_t TSplitStream::Read(void* buffer, std::size_t count) {
    auto* bytes = static_cast<char*>(buffer);
    return AcrossVolumes(count, [bytes](TStream& volume, std::size_t done, std::size_t wanted) {
        return volume.Read(bytes + done, wanted);
    });
}

std::size_t TSplitStream::Write(const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const char*>(buffer);
    return AcrossVolumes(count, [bytes](TStream& volume, std::size_t done, std::size_t wanted) {
        return volume.Write(bytes + done, wanted);
    });
}

std::int64_t TSplitStream::Seek(std::int64_t offset, int origin) {
    std::int64_t target = 0;
    switch (origin) {
    case static_cast<int>(SeekOrigin::Begin):
        target = offset;
        break;
    case static_cast<int>(SeekOrigin::Current):
        target = current_.Position + offset;
        break;
    case static_cast<int>(SeekOrigin::End):
        target = Size() + offset;
        break;
    default:
        throw EStreamError("Error seeking stream");
    }
    if (!EnsureVolume())
        return current_.Position;

    const Selection saved = current_;
    std::int64_t start = VolumeStart();
    while (target < start) {
        // Before the first volume there is nothing: the move is refused.
        if (current_.Volume <= 0 || !SelectVolume(current_.Volume - 1)) {
            Restore(saved);
            return current_.Position;
        }
        start -= current_.Limit > 0 ? current_.Limit : current_.Stream->Size();
    }
    while (current_.Limit > 0 && target - start >= current_.Limit) {
        const std::int64_t limit = current_.Limit;
        if (!SelectVolume(current_.Volume + 1))
            break;
        start += limit;
    }
    current_.VolumePosition = target - start;
    current_.Position = target;
    current_.Stream->Seek(current_.VolumePosition, static_cast<int>(SeekOrigin::Begin));
    return target;
}

std::int64_t TSplitStream::Size() {
    const Selection saved = current_;
    std::int64_t total = 0;
    for (std::int32_t index = 0; SelectVolume(index); ++index) {
        const std::int64_t size = current_.Stream->Size();
        if (size == 0)
            break;
        total += size;
    }
    Restore(saved);
    return total;
}

void TSplitStream::SetSize(std::int64_t size) {
    if (size < 0)
        throw EStreamError("Error seeking stream");
    if (!EnsureVolume())
        throw EStreamError("Stream write error", {platform::FailureKind::FileNotWritten, 0});
    const Selection saved = current_;
    if (Seek(size, static_cast<int>(SeekOrigin::Begin)) != size) {
        Restore(saved);
        throw EStreamError("Error seeking stream");
    }
    current_.Stream->SetSize(current_.VolumePosition);
    Restore(saved);
}

} // namespace archive
