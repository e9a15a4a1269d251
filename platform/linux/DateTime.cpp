#include "platform/DateTime.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace platform {
namespace {

constexpr std::int64_t MillisecondsPerDay = 86'400'000;
// Days from 1899-12-30 to 1970-01-01.
constexpr std::int64_t UnixEpochDays = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date (the well-known civil-days algorithm).
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2));
}

void AppendNumber(std::string& text, int value, int digits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", digits, value);
    text += buffer;
}

DateTime FromLocalParts(const std::tm& local, int millisecond) {
    return EncodeDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                           local.tm_min, local.tm_sec, millisecond});
}

} // namespace

DateTime EncodeDateTime(const DateTimeParts& parts) {
    const std::int64_t days = DaysFromCivil(parts.year, static_cast<unsigned>(parts.month),
                                            static_cast<unsigned>(parts.day)) +
                              UnixEpochDays;
    const std::int64_t milliseconds =
        ((parts.hour * 60LL + parts.minute) * 60 + parts.second) * 1000 + parts.millisecond;
    return static_cast<double>(days) +
           static_cast<double>(milliseconds) / static_cast<double>(MillisecondsPerDay);
}

DateTimeParts DecodeDateTime(DateTime value) {
    const auto total = static_cast<std::int64_t>(std::llround(value * MillisecondsPerDay));
    std::int64_t days = total / MillisecondsPerDay;
    std::int64_t milliseconds = total % MillisecondsPerDay;
    if (milliseconds < 0) {
        milliseconds += MillisecondsPerDay;
        --days;
    }
    DateTimeParts parts;
    CivilFromDays(days - UnixEpochDays, parts.year, parts.month, parts.day);
    parts.millisecond = static_cast<int>(milliseconds % 1000);
    parts.second = static_cast<int>(milliseconds / 1000 % 60);
    parts.minute = static_cast<int>(milliseconds / 60'000 % 60);
    parts.hour = static_cast<int>(milliseconds / 3'600'000);
    return parts;
}

DateTime Now() {
    std::timespec now{};
    std::timespec_get(&now, TIME_UTC);
    return FromUnixTime(now.tv_sec, static_cast<std::uint32_t>(now.tv_nsec));
}

DateTime Today() {
    return std::floor(Now());
}

DateTime FromUnixTime(std::int64_t seconds, std::uint32_t nanoseconds) {
    const auto moment = static_cast<std::time_t>(seconds);
    // localtime_r reads the zone only once per process; a zone changed while the station runs
    // would otherwise date folders, reports and recordings in the old one.
    ::tzset();
    std::tm local{};
    localtime_r(&moment, &local);
    return FromLocalParts(local, static_cast<int>(nanoseconds / 1'000'000));
}

std::string FormatDateTime(std::string_view pattern, DateTime value) {
    const DateTimeParts parts = DecodeDateTime(value);
    struct Field {
        std::string_view token;
        int value;
    };
    const Field fields[] = {{"yyyy", parts.year}, {"dd", parts.day},    {"mm", parts.month},
                            {"hh", parts.hour},   {"nn", parts.minute}, {"ss", parts.second}};
    std::string text;
    std::size_t at = 0;
    while (at < pattern.size()) {
        bool matched = false;
        for (const Field& field : fields) {
            if (pattern.substr(at, field.token.size()) == field.token) {
                AppendNumber(text, field.value, static_cast<int>(field.token.size()));
                at += field.token.size();
                matched = true;
                break;
            }
        }
        if (!matched)
            text += pattern[at++];
    }
    return text;
}

} // namespace platform
