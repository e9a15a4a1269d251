// Byte streams of the archive writer: a seekable stream interface, a file stream over the
// platform's shared-mode files, and the split stream that presents an archive's volumes as one.
#pragma once

#include "platform/FailureCause.h"
#include "platform/FileStream.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace archive {

class EStreamError : public platform::Failure {
public:
    using Failure::Failure;
};

enum class SeekOrigin : int { Begin = 0, Current = 1, End = 2 };

class TStream {
public:
    virtual ~TStream() = default;
    // Up to `count` bytes; fewer only at the end of the data.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Raises when the bytes cannot all be written.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Origin 0, 1 or 2 as SeekOrigin; returns the new position.
    virtual std::int64_t Seek(std::int64_t offset, int origin) = 0;
    virtual std::int64_t Size() = 0;
    virtual void SetSize(std::int64_t size) = 0;
    std::int64_t Position() { return Seek(0, static_cast<int>(SeekOrigin::Current)); }
};

class TFileStream final : public TStream {
public:
    // Raises platform::FileError "Cannot open file ..." / "Cannot create file ...".
    TFileStream(const std::string& fileName, platform::FileAccess access, platform::FileShare share,
                platform::FileDisposition disposition);

    const std::string& FileName() const { return fileName_; }
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, int origin) override;
    std::int64_t Size() override;
    void SetSize(std::int64_t size) override;

private:
    std::string fileName_;
    platform::FileHandle file_;
};

// The stream of volume `index`, or nullptr when there is none; the split stream does not own it.
using TVolumeStreamRequest = std::function<TStream*(std::int32_t index)>;
// The size limit of volume `index`, 0 for none.
using TVolumeSizeRequest = std::function<std::int64_t(std::int32_t index)>;

// Volumes presented as one seekable stream: writing fills each volume up to its limit and moves on
// to the next one, which is asked for only when it is needed.
class TSplitStream : public TStream {
public:
    TSplitStream(TVolumeStreamRequest streamFor, TVolumeSizeRequest sizeFor, bool forcePosition);

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, int origin) override;
    // The sum of the volume sizes up to the first volume that is missing or empty.
    std::int64_t Size() override;
    // Resizes the volume holding the new end.
    void SetSize(std::int64_t size) override;

private:
    struct Selection {
        TStream* Stream = nullptr;
        std::int32_t Volume = -1;
        std::int64_t Limit = 0;
        std::int64_t VolumePosition = 0;
        std::int64_t Position = 0;
    };
    bool SelectVolume(std::int32_t index);
    bool EnsureVolume();
    std::int64_t VolumeStart() const { return current_.Position - current_.VolumePosition; }
    std::size_t RoomInVolume(std::size_t wanted) const;
    void Restore(const Selection& saved);
    // Moves `count` bytes volume by volume through `transfer` (the current volume's Read or Write),
    // stopping where a volume moves fewer bytes than asked.
    template <typename Transfer> std::size_t AcrossVolumes(std::size_t count, Transfer transfer);

    Selection current_;
    bool forcePosition_;
    TVolumeStreamRequest streamFor_;
    TVolumeSizeRequest sizeFor_;
};

// The split stream whose volumes come from the archive being written.
class TDynamicSplitStream final : public TSplitStream {
public:
    using TSplitStream::TSplitStream;
};

} // namespace archive
