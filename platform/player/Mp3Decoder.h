// Decodes MPEG audio to interleaved signed 16-bit samples in the machine's byte order, reading from
// a window of a file (held with a shared lock, so a recording that holds the file without sharing
// refuses us and we refuse it) or of a memory image.
#pragma once

#include "platform/FileStream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct mpg123_handle_struct;

namespace platform::player {

class Mp3Decoder {
public:
    struct Format {
        long SampleRate = 0;
        int Channels = 0;
    };

    // Raise PlaybackError: BASS_ERROR_FILEOPEN when the file cannot be opened or is held without
    // sharing, BASS_ERROR_FILEFORM when no MPEG audio frame is found at its start. `length` 0 means
    // up to the end.
    static std::unique_ptr<Mp3Decoder> OpenFile(const std::string& path, std::uint64_t offset,
                                                std::uint64_t length);
    static std::unique_ptr<Mp3Decoder> OpenMemory(const void* data, std::uint64_t offset,
                                                  std::uint64_t length);

    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;
    ~Mp3Decoder();

    Format OutputFormat() const { return format_; }
    std::size_t BytesPerFrame() const { return 2 * static_cast<std::size_t>(format_.Channels); }
    // Fills up to `capacity` bytes (whole sample frames); fewer only at the end of the audio, 0
    // once it is over. A damaged or truncated tail ends the audio there.
    std::size_t Decode(void* buffer, std::size_t capacity);
    // Back to the first sample.
    void Rewind();

    // The byte window the decoder reads; public only for the decoder library's read callbacks.
    struct Window {
        FileHandle File;               // open for a file window
        const unsigned char* Memory{}; // set for a memory window
        std::uint64_t Begin = 0;       // where the window starts in the file or image
        std::uint64_t Length = 0;      // bytes in the window
        std::uint64_t Position = 0;    // within the window
        std::int64_t Read(void* buffer, std::size_t count);
        std::int64_t Seek(std::int64_t offset, int origin);
    };

private:
    explicit Mp3Decoder(Window window);
    void Open(const std::string& name);

    Window window_;
    mpg123_handle_struct* handle_ = nullptr;
    Format format_;
    bool finished_ = false;
};

} // namespace platform::player
