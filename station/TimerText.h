// The recording time as the exam page shows it.
#pragma once

#include "station/InterviewState.h"

#include <string>

// Minutes and seconds of the time of day of `Elapsed` (hours are not shown, so the text starts
// again at 0 after an hour): "12 мин. 5 сек.".
std::string TimerText(TDateTime Elapsed);

// One second more than `Elapsed`, as the exam page's timer counts.
TDateTime AddOneSecond(TDateTime Elapsed);
