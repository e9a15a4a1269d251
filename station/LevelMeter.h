// The level meter of both pages: each loudness report moves the bar halfway toward the new reading.
#pragma once

#include <cstdint>

namespace station {

// The meter's next position for a loudness figure `gainValue` (0.0 to 100.0, where 60 reads as a
// full bar): (current + R) div 2 with R = gainValue / 60 x 100 rounded half to even, summed and
// halved on 64-bit integers (the halving truncates toward zero), kept within 0 to 100.
std::int64_t NextMeterPosition(std::int64_t current, double gainValue);

} // namespace station
