// Puts the encoder's final Info/Xing frame over the placeholder frame that opens a finished file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The longest MPEG audio frame LAME writes.
constexpr std::size_t MaximumFrameBytes = 2880;

// False when the file cannot be opened or written, or when it does not begin (after an ID3v2 tag,
// if any) with a frame of the same length that the tag frame could replace.
bool WriteLameTagFrame(const char* fileName, const std::vector<std::uint8_t>& frame);
