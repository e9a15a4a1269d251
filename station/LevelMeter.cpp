#include "station/LevelMeter.h"

#include <algorithm>
#include <cmath>

namespace station {

std::int64_t NextMeterPosition(std::int64_t current, double gainValue) {
    // nearbyint in the default rounding mode takes ties to the even neighbour.
    const auto reading = static_cast<std::int64_t>(std::nearbyint(gainValue / 60 * 100));
    return std::clamp<std::int64_t>((current + reading) / 2, 0, 100);
}

} // namespace station
