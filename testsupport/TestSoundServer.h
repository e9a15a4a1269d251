// For tests that need the private sound server the test command starts. Without one they skip
// with the words below, which CTest is told to read as "skipped" (cmake/StationTesting.cmake), so
// that a run without a server never counts them as passed; the test command then fails the run.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#define STATION_NO_TEST_SOUND_SERVER "no test sound server"

#define REQUIRE_TEST_SOUND_SERVER()                                                                \
    do {                                                                                           \
        if (!std::getenv("PULSE_SERVER"))                                                          \
            GTEST_SKIP() << STATION_NO_TEST_SOUND_SERVER                                           \
                ": PULSE_SERVER is not set; start one with scripts/pulse-test-server.sh start "    \
                "DIR and export PULSE_SERVER=unix:DIR/native";                                     \
    } while (false)
