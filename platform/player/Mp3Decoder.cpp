#include "platform/player/Mp3Decoder.h"

#include "platform/Playback.h"
#include "platform/player/PlaybackError.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mpg123.h>
#include <mutex>

namespace platform::player {

namespace {

void InitialiseLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

mpg123_ssize_t ReadWindow(void* window, void* buffer, size_t count) {
    return static_cast<Mp3Decoder::Window*>(window)->Read(buffer, count);
}

off_t SeekWindow(void* window, off_t offset, int origin) {
    return static_cast<Mp3Decoder::Window*>(window)->Seek(offset, origin);
}

} // namespace

std::int64_t Mp3Decoder::Window::Read(void* buffer, std::size_t count) {
    const std::uint64_t left = Length > Position ? Length - Position : 0;
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, left));
    if (count == 0)
        return 0;
    if (Memory) {
        std::memcpy(buffer, Memory + Begin + Position, count);
        Position += count;
        return static_cast<std::int64_t>(count);
    }
    try {
        File.Seek(static_cast<std::int64_t>(Begin + Position), SEEK_SET);
        const std::size_t got = File.Read(buffer, count);
        Position += got;
        return static_cast<std::int64_t>(got);
    } catch (const FileError&) {
        return -1;
    }
}

std::int64_t Mp3Decoder::Window::Seek(std::int64_t offset, int origin) {
    std::int64_t base = 0;
    if (origin == SEEK_CUR)
        base = static_cast<std::int64_t>(Position);
    else if (origin == SEEK_END)
        base = static_cast<std::int64_t>(Length);
    else if (origin != SEEK_SET)
        return -1;
    const std::int64_t target = base + offset;
    if (target < 0)
        return -1;
    Position = static_cast<std::uint64_t>(target);
    return target;
}

std::unique_ptr<Mp3Decoder> Mp3Decoder::OpenFile(const std::string& path, std::uint64_t offset,
                                                 std::uint64_t length) {
    Window window;
    try {
        window.File = FileHandle::Open(path, FileAccess::Read, FileShare::Read,
                                       FileDisposition::OpenExisting);
    } catch (const FileError& error) {
        throw PlaybackError(BASS_ERROR_FILEOPEN, error.what());
    }
    const auto size = static_cast<std::uint64_t>(window.File.Size());
    window.Begin = std::min(offset, size);
    window.Length = std::min(size - window.Begin, length == 0 ? size : length);
    std::unique_ptr<Mp3Decoder> decoder(new Mp3Decoder(std::move(window)));
    decoder->Open(path);
    return decoder;
}

std::unique_ptr<Mp3Decoder> Mp3Decoder::OpenMemory(const void* data, std::uint64_t offset,
                                                   std::uint64_t length) {
    if (!data || length == 0)
        throw PlaybackError(BASS_ERROR_ILLPARAM, "A memory stream needs its data and length.");
    Window window;
    window.Memory = static_cast<const unsigned char*>(data);
    window.Begin = offset;
    window.Length = length;
    std::unique_ptr<Mp3Decoder> decoder(new Mp3Decoder(std::move(window)));
    decoder->Open("memory image");
    return decoder;
}

Mp3Decoder::Mp3Decoder(Window window) : window_(std::move(window)) {}

Mp3Decoder::~Mp3Decoder() {
    if (handle_) {
        mpg123_close(handle_);
        mpg123_delete(handle_);
    }
}

void Mp3Decoder::Open(const std::string& name) {
    InitialiseLibraryOnce();
    int error = MPG123_OK;
    handle_ = mpg123_new(nullptr, &error);
    if (!handle_)
        throw PlaybackError(BASS_ERROR_MEM, std::string("The MP3 decoder cannot be created: ") +
                                                mpg123_plain_strerror(error));
    // The decoder must not write to the program's terminal.
    mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(handle_);
    const long* rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i)
        mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);

    const auto refuse = [&](const char* reason) {
        throw PlaybackError(BASS_ERROR_FILEFORM,
                            "\"" + name + "\" is not MPEG audio (" + reason + ").");
    };
    if (mpg123_replace_reader_handle(handle_, ReadWindow, SeekWindow, nullptr) != MPG123_OK ||
        mpg123_open_handle(handle_, &window_) != MPG123_OK)
        refuse(mpg123_strerror(handle_));
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK)
        refuse(mpg123_strerror(handle_));
    if (encoding != MPG123_ENC_SIGNED_16 || channels < 1 || channels > 2 || rate <= 0)
        refuse("unsupported sample format");
    format_ = {rate, channels};
}

std::size_t Mp3Decoder::Decode(void* buffer, std::size_t capacity) {
    capacity -= capacity % BytesPerFrame();
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t filled = 0;
    while (!finished_ && filled < capacity) {
        std::size_t done = 0;
        const int result = mpg123_read(handle_, out + filled, capacity - filled, &done);
        filled += done;
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0;
            int encoding = 0;
            mpg123_getformat(handle_, &rate, &channels, &encoding);
            // The output was opened for the first frame's format; a stream that changes it midway
            // is played up to the change.
            if (rate != format_.SampleRate || channels != format_.Channels)
                finished_ = true;
        } else if (result != MPG123_OK) {
            finished_ = true; // MPG123_DONE, or a damaged tail
        }
    }
    return filled;
}

void Mp3Decoder::Rewind() {
    finished_ = mpg123_seek(handle_, 0, SEEK_SET) < 0;
}

} // namespace platform::player
