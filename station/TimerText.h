// The recording time as the exam page shows it.
#pragma once

#include "platform/DateTime.h"

#include <string>

namespace station {

// Minutes and seconds of the time of day of `elapsed` (hours are not shown, so the text starts
// again at 0 after an hour): "12 мин. 5 сек.".
std::string TimerText(platform::DateTime elapsed);

// One second more than `elapsed`, as the exam page's timer counts.
platform::DateTime AddOneSecond(platform::DateTime elapsed);

} // namespace station
