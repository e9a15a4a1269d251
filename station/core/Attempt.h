// A step that may fail: the core does not let a failure escape to the GUI loop, it tells the
// operator through its observers, in an error box with the failure's own text, led by a short
// Russian cause where the operator can act on it (OperatorText).
#pragma once

#include "station/core/Outcome.h"

#include <functional>

namespace station {

// Runs `step`; Done, or the message for the failure it raised.
Outcome Attempt(const std::function<void()>& step);

} // namespace station
