#include "platform/DateTime.h"
#include "testsupport/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

using platform::DateTimeParts;
using platform::EncodeDateTime;
using platform::FormatDateTime;

TEST(DateTimeTest, DaysCountFrom30December1899) {
    EXPECT_EQ(EncodeDateTime({1899, 12, 30}), 0.0);
    EXPECT_EQ(EncodeDateTime({1900, 1, 1}), 2.0);
    EXPECT_EQ(EncodeDateTime({1970, 1, 1}), 25569.0);
    EXPECT_EQ(EncodeDateTime({2024, 2, 29}), 45351.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2024, 3, 5, 18, 0, 0}), 45356.75);
}

TEST(DateTimeTest, DecodeIsTheInverseOfEncodeToTheMillisecond) {
    const DateTimeParts samples[] = {{1899, 12, 30, 0, 0, 0, 0},
                                     {2000, 2, 29, 23, 59, 59, 999},
                                     {2031, 12, 31, 12, 34, 56, 789},
                                     {1901, 3, 1, 0, 0, 1, 0}};
    for (const DateTimeParts& in : samples) {
        const DateTimeParts out = platform::DecodeDateTime(EncodeDateTime(in));
        EXPECT_EQ(
            std::tie(out.year, out.month, out.day, out.hour, out.minute, out.second,
                     out.millisecond),
            std::tie(in.year, in.month, in.day, in.hour, in.minute, in.second, in.millisecond));
    }
}

TEST(DateTimeTest, PatternsOfTheStation) {
    const platform::DateTime value = EncodeDateTime({2025, 3, 5, 7, 8, 9});
    EXPECT_EQ(FormatDateTime("ddmmyyyy", value), "05032025");
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy", value), "05.03.2025");
    EXPECT_EQ(FormatDateTime("ddmmyyyy-hhnnss", value), "05032025-070809");
    EXPECT_EQ(FormatDateTime("dd-mm-yyyy hh.nn.ss", value), "05-03-2025 07.08.09");
    EXPECT_EQ(FormatDateTime("dd-mm-yyyy hh.nn.ss", 0), "30-12-1899 00.00.00");
    // Letters that form no token are copied.
    EXPECT_EQ(FormatDateTime("d m y h n s", value), "d m y h n s");
}

TEST(DateTimeTest, HalfAMillisecondBeforeMidnightRoundsIntoTheNextDay) {
    const platform::DateTime value = EncodeDateTime({2025, 3, 5}) - 0.4 / 86'400'000.0;
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh.nn.ss", value), "05.03.2025 00.00.00");
}

TEST(DateTimeTest, UnixTimeIsShownInLocalTime) {
    const std::time_t moment = 1'741'170'000; // 2025-03-05 10:20:00 UTC
    std::tm local{};
    localtime_r(&moment, &local);
    const platform::DateTime value = platform::FromUnixTime(moment, 250'000'000);
    const DateTimeParts parts = platform::DecodeDateTime(value);
    EXPECT_EQ(parts.year, local.tm_year + 1900);
    EXPECT_EQ(parts.day, local.tm_mday);
    EXPECT_EQ(parts.hour, local.tm_hour);
    EXPECT_EQ(parts.minute, local.tm_min);
    EXPECT_EQ(parts.millisecond, 250);
}

// The zone can be changed while the station runs (an administrator setting the clock right before
// the exam); dates from then on must be in the new zone.
TEST(DateTimeTest, TimeZoneChangedWhileRunningIsFollowed) {
    const std::time_t moment = 1'741'218'600; // 2025-03-05 23:50:00 UTC
    {
        const testsupport::ScopedEnvironmentVariable zone("TZ", "UTC0");
        EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh.nn", platform::FromUnixTime(moment, 0)),
                  "05.03.2025 23.50");
        zone.Set("MSK-3");
        EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh.nn", platform::FromUnixTime(moment, 0)),
                  "06.03.2025 02.50");
    }
    ::tzset();
}

TEST(DateTimeTest, TodayIsNowWithoutTimeOfDay) {
    const platform::DateTime today = platform::Today();
    EXPECT_EQ(today, std::floor(today));
    EXPECT_LT(platform::Now() - today, 1.0 + 1e-6);
}

} // namespace
