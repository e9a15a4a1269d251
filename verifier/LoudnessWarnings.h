// The receiver's warnings about a recording that is whole and sound but may not be heard: nearly
// silent, clipped or too short for an answer. They do not make the archive faulty.
#pragma once

#include "verifier/Loudness.h"

#include <string>
#include <vector>

namespace interview_check {

// Limits chosen on recordings made through the station's own chain (see the README): a spoken
// answer with room noise was silent for 1% of its steps, a muted microphone for all of them; a
// clean answer had no sample on the limit, an overdriven microphone 0.6% of them.
inline constexpr double SilentShareLimit = 0.9;
inline constexpr double ClippedShareLimit = 0.001;
// An answer to the interview's tasks takes minutes; half a minute is a false start or a mistake.
inline constexpr double MinimumAnswerSeconds = 30.0;

// "2,3", "−23,0": the Russian decimal comma and a true minus sign; a value that rounds to zero
// has no sign.
std::string DecimalText(double value, int decimals);

// Reasons in the order silent, clipped, short; empty for a recording with none.
std::vector<std::string> LoudnessWarnings(const LoudnessFacts& facts);

} // namespace interview_check
