// The calendar the core names its folders and files by.
#pragma once

#include "platform/DateTime.h"

namespace station {

class Calendar {
public:
    virtual ~Calendar() = default;
    // The local date, without time of day.
    virtual platform::DateTime Today() const = 0;
};

} // namespace station
