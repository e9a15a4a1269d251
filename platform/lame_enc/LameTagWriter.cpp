#include "platform/lame_enc/LameTagWriter.h"

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool ReadAt(std::FILE* file, long offset, std::uint8_t* bytes, std::size_t count) {
    return std::fseek(file, offset, SEEK_SET) == 0 && std::fread(bytes, 1, count, file) == count;
}

// Length of an ID3v2 tag at the start of the file (header, body and footer), 0 when there is none.
long Id3v2Length(std::FILE* file) {
    std::uint8_t header[10];
    if (!ReadAt(file, 0, header, sizeof header) || header[0] != 'I' || header[1] != 'D' ||
        header[2] != '3')
        return 0;
    const long body = (long{header[6]} & 0x7F) << 21 | (long{header[7]} & 0x7F) << 14 |
                      (long{header[8]} & 0x7F) << 7 | (long{header[9]} & 0x7F);
    const bool footer = (header[5] & 0x10) != 0;
    return 10 + body + (footer ? 10 : 0);
}

bool IsFrameSync(const std::uint8_t* bytes) {
    return bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0;
}

} // namespace

bool WriteLameTagFrame(const char* fileName, const std::vector<std::uint8_t>& frame) {
    if (frame.size() < 4 || frame.size() > MaximumFrameBytes)
        return false;
    File file(std::fopen(fileName, "r+b"));
    if (!file)
        return false;
    const long start = Id3v2Length(file.get());
    std::uint8_t first[4];
    if (!ReadAt(file.get(), start, first, sizeof first) || !IsFrameSync(first))
        return false;
    // The placeholder has the tag frame's length: the next frame (if any) starts right after it.
    std::uint8_t next[2];
    const long after = start + static_cast<long>(frame.size());
    if (ReadAt(file.get(), after, next, sizeof next) && !IsFrameSync(next))
        return false;
    return std::fseek(file.get(), start, SEEK_SET) == 0 &&
           std::fwrite(frame.data(), 1, frame.size(), file.get()) == frame.size() &&
           std::fflush(file.get()) == 0;
}
