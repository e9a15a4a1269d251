// The session's end reaches the program as a call in its own loop, never as work inside a signal
// handler; and last words run when the process exits without returning from main.
#include "platform/ProcessExit.h"
#include "platform/SessionSignals.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

TEST(SessionSignalsTest, TheSessionsEndSignalsArriveInOrderAndTheirOldHandlingComesBack) {
    {
        platform::SessionSignals signals;
        EXPECT_TRUE(signals.Take().empty());
        for (const int signal : {SIGTERM, SIGHUP, SIGINT})
            ASSERT_EQ(std::raise(signal), 0);
        EXPECT_EQ(signals.Take(), (std::vector<std::string>{"SIGTERM", "SIGHUP", "SIGINT"}));
        EXPECT_TRUE(signals.Take().empty());
    }
    // Without the object SIGTERM ends the process again, as it did before.
    EXPECT_EXIT(std::raise(SIGTERM), ::testing::KilledBySignal(SIGTERM), "");
}

TEST(LastWordsAtExitTest, RunOnceWhenTheProcessExitsAndNeverAfterTheirObjectIsGone) {
    EXPECT_EXIT(
        {
            platform::LastWordsAtExit words([] { std::fputs("last words\n", stderr); });
            std::exit(3);
        },
        ::testing::ExitedWithCode(3), "^last words\n$");
    EXPECT_EXIT(
        {
            platform::LastWordsAtExit words([] { std::fputs("ran early\n", stderr); });
            words.RunNow();
            std::exit(4);
        },
        ::testing::ExitedWithCode(4), "^ran early\n$");
    EXPECT_EXIT(
        {
            {
                platform::LastWordsAtExit words([] { std::fputs("too late\n", stderr); });
            }
            std::exit(5);
        },
        ::testing::ExitedWithCode(5), "^$");
}

} // namespace
