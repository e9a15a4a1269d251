// Streams written by streamed outputs, and the file stream that file outputs create.
#pragma once

#include "platform/DiskSync.h"
#include "platform/FileStream.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace audio {

class TAudioStream {
public:
    virtual ~TAudioStream() = default;
    // Returns the bytes written; fewer than Count only when the system refused the rest.
    virtual std::size_t Write(const void* Buffer, std::size_t Count) = 0;
    virtual std::size_t Read(void* Buffer, std::size_t Count) = 0;
    // Origin: 0 from the start, 1 from the current position, 2 from the end.
    virtual std::int64_t Seek(std::int64_t Offset, int Origin) = 0;
    virtual std::int64_t Size() const = 0;
    // Cuts the stream (or extends it) to NewSize bytes and moves its position there.
    virtual void SetSize(std::int64_t NewSize) = 0;
};

// Mode word: $FFFF creates the file (replacing an existing one), read-write, shared with nobody.
// Any other value opens an existing file: bits 0-1 the access (0 read, 1 write, 2 read-write),
// bits 4-7 the sharing (0-1 none, 2 read, 3 write, 4 read-write). The rights word is not used.
class TAudioFileStream : public TAudioStream {
public:
    static constexpr std::uint16_t fmCreate = 0xFFFF;

    // Raises EAudioException with the system's text when the file cannot be opened or created.
    TAudioFileStream(const std::u16string& FileName, std::uint16_t Mode, std::uint32_t Rights);

    std::size_t Write(const void* Buffer, std::size_t Count) override;
    std::size_t Read(void* Buffer, std::size_t Count) override;
    std::int64_t Seek(std::int64_t Offset, int Origin) override;
    std::int64_t Size() const override;
    void SetSize(std::int64_t NewSize) override;
    // From now on the file is synced to the disk every `Interval` on a thread of its own, so that
    // a power cut costs at most that much of it; the writer never waits for the disk.
    void KeepSynced(std::chrono::milliseconds Interval);
    // Syncs the file to the disk and closes it. Raises EAudioException, carrying the cause of the
    // first failure, when a sync or the close failed (the data may not have landed); the file is
    // closed then all the same.
    void Close();

private:
    platform::FileHandle FHandle;
    // Declared after the handle: it ends before the handle closes.
    std::unique_ptr<platform::PeriodicSync> FSync;
};

} // namespace audio
