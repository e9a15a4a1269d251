// The computer's own calendar, in local time.
#pragma once

#include "station/core/Calendar.h"

namespace station {

class SystemCalendar : public Calendar {
public:
    platform::DateTime Today() const override { return platform::Today(); }
};

} // namespace station
