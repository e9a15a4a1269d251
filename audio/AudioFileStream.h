// Streams written by streamed outputs, and the file stream that file outputs create.
#pragma once

#include "platform/FileStream.h"

#include <cstddef>
#include <cstdint>
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
    // False when the system reported a failure while closing (the data may not have landed).
    bool Close() { return FHandle.Close(); }

private:
    platform::FileHandle FHandle;
};

} // namespace audio
