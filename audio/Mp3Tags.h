// The two tags a finished recording receives: the ID3v1 block appended to the file, and the ID3v2
// fields written afterwards through TagLib.
#pragma once

#include "audio/AudioTags.h"

#include <array>
#include <cstdint>
#include <string>

namespace audio {

using TId3v1Block = std::array<std::uint8_t, 128>;

// "TAG", title, artist, album (30 bytes each, cut, zero-padded), the year in four digits (zero
// bytes unless it has exactly four), the comment (30 bytes) and a zero genre byte.
TId3v1Block MakeId3v1Block(const TId3v1Tags& Tags);

// Opens the finished file through TagLib (which must be present) and writes title, artist, album
// and genre (also when empty) and year and track when they are integers. Raises EAudioException
// "Failed to write tags" when TagLib cannot open or parse the file, "Failed to save tags" when it
// cannot save it.
void WriteId3v2Fields(const std::string& FileName, const TId3v2Tags& Tags);

} // namespace audio
