// CRC-32 as zip and PNG use it (reflected polynomial 0xEDB88320, initial value all ones, final
// complement), over memory and over whole files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

extern const std::uint32_t CRC32Table[256];

// The running value after `count` more bytes. Start with 0xFFFFFFFF and complement at the end.
std::uint32_t UpdateCRC32(std::uint32_t crc, const void* buffer, std::size_t count);

// The CRC-32 of the file's content. The file is opened for reading without sharing, so a file that
// a recording still holds is refused. On a failure to open or read, a message box names the file
// and the reason, and the result covers the bytes read before the failure (0 when none were).
// Callable from any thread; the box is then shown on the GUI thread and this returns after it.
// Without `tellFailure` the box is left out (the caller has told the cause already).
std::uint32_t FileCRC32(const std::string& fileName, bool tellFailure = true);
