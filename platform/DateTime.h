// Date-time values as the station keeps them: a double counting days since 1899-12-30 in local
// time, the fraction being the time of day.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

using DateTime = double;

struct DateTimeParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

DateTime EncodeDateTime(const DateTimeParts& parts);
// Rounded to the nearest millisecond.
DateTimeParts DecodeDateTime(DateTime value);

// The current local time, and the current local date without time of day.
DateTime Now();
DateTime Today();
// A moment given as Unix time, in local time.
DateTime FromUnixTime(std::int64_t seconds, std::uint32_t nanoseconds = 0);

// `dd` day, `mm` month, `yyyy` year, `hh` hour 00-23, `nn` minutes, `ss` seconds, all with
// leading zeros; every other character is copied unchanged ("ddmmyyyy-hhnnss").
std::string FormatDateTime(std::string_view pattern, DateTime value);

} // namespace platform
