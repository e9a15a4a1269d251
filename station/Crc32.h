// CRC-32 as zip and PNG use it (reflected polynomial 0xEDB88320, initial value all ones, final
// complement), over memory and over whole files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace station {

extern const std::uint32_t CRC32Table[256];

// The running value after `count` more bytes. Start with 0xFFFFFFFF and complement at the end.
std::uint32_t UpdateCRC32(std::uint32_t crc, const void* buffer, std::size_t count);

// The CRC-32 of a file's content, and why it could not be read to its end.
struct FileChecksum {
    // Covers the bytes read before a failure (0 when none were).
    std::uint32_t crc = 0;
    // Empty when the whole file was read; otherwise the operator's text naming the file, with the
    // file layer's reason after it. Telling it is the caller's business: this code runs on the
    // recording's worker as well, where no one may be asked to read anything.
    std::string failure;
};

// The file is opened for reading without sharing, so a file that a recording still holds is
// refused. Callable from any thread.
FileChecksum FileCRC32(const std::string& fileName);

} // namespace station
