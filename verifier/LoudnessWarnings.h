// The receiver's warnings about a recording that is whole and sound but may not be heard: nearly
// silent, clipped or too short for an answer. They do not make the archive faulty.
#pragma once

#include "verifier/Loudness.h"

#include <string>
#include <vector>

namespace interview_check {

using interview_format::ClippedShareLimit;
using interview_format::SilentShareLimit;
// An answer to the interview's tasks takes minutes; half a minute is a false start or a mistake.
inline constexpr double MinimumAnswerSeconds = 30.0;

// "2,3", "−23,0": the Russian decimal comma and a true minus sign; a value that rounds to zero
// has no sign.
std::string DecimalText(double value, int decimals);

// Reasons in the order silent, clipped, short; empty for a recording with none.
std::vector<std::string> LoudnessWarnings(const LoudnessFacts& facts);

} // namespace interview_check
