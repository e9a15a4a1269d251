// The loudness of the recordings in the receiver's words: figures for a recording line and one
// warning line per recording that may not be heard.
#pragma once

#include "verifier/ArchiveCheck.h"

#include <optional>
#include <string>

namespace interview_check::tool {

// "-23,0" with the Russian decimal comma and a true minus sign, or `absent` when there is no
// figure (the loudness or peak of silence).
std::string DecibelText(std::optional<double> value, const char* absent = "—");

// "−23,0 LUFS  диапазон 4,2 LU  пик −1,3 dBFS  тишина 12%  на пределе 0,0%".
std::string LoudnessFigures(const LoudnessFacts& facts);

// "ПРЕДУПРЕЖДЕНИЕ  <archive>: 3.mp3: запись почти беззвучна (тишина 97% времени)", one line each.
std::string WarningLines(const ArchiveVerdict& verdict);

} // namespace interview_check::tool
