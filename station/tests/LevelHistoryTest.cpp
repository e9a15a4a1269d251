// The exam page's level strip as a rule: level figures in time become one bar per second.
#include "station/LevelHistory.h"

#include <gtest/gtest.h>

#include <vector>

using namespace station;

namespace {

std::vector<int> BarsOf(const LevelHistory& history) {
    return {history.Bars().begin(), history.Bars().end()};
}

TEST(LevelHistoryTest, EachSecondShowsItsLoudestFigureAndNothingHeardIsSilence) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::int64_t, std::int64_t>> figures; // position, ms
        std::vector<int> bars;
    };
    const std::vector<Case> cases = {
        {"the loudest of a second",
         {{10, 0}, {40, 100}, {20, 900}, {0, 1000}, {0, 1900}, {80, 2500}, {5, 3000}},
         {40, 0, 80}},
        {"a dropout between figures is silent", {{60, 500}, {30, 4200}}, {60, 0, 0, 0}},
        {"positions beyond the scale", {{-5, 0}, {250, 1000}, {0, 2000}}, {0, 100}},
        {"a second not yet over shows nothing", {{70, 0}, {70, 999}}, {}},
    };
    for (const Case& c : cases) {
        LevelHistory history;
        for (const auto& [position, ms] : c.figures)
            history.Add(position, ms);
        EXPECT_EQ(BarsOf(history), c.bars) << c.what;
    }
}

// Repainting only when the picture changes is what keeps the strip's cost out of sight.
TEST(LevelHistoryTest, OnlyAClosedSecondAsksForARepaint) {
    LevelHistory history;
    int repaints = 0;
    for (std::int64_t ms = 0; ms < 10000; ms += 100)
        repaints += history.Add(50, ms) ? 1 : 0;
    EXPECT_EQ(repaints, 9);
}

TEST(LevelHistoryTest, KeepsTwoMinutesAndStartsAgainForTheNextParticipant) {
    LevelHistory history;
    for (std::int64_t second = 0; second <= 130; ++second)
        history.Add(second % 100, second * 1000);
    ASSERT_EQ(history.Bars().size(), LevelHistory::Seconds);
    EXPECT_EQ(history.Bars().front(), 10); // seconds 0 to 9 have scrolled away
    EXPECT_EQ(history.Bars().back(), 29);

    // A clock that jumps by an hour fills the picture once, with silence.
    history.Add(90, 3'600'000);
    ASSERT_EQ(history.Bars().size(), LevelHistory::Seconds);
    EXPECT_EQ(history.Bars().back(), 0);

    history.Restart();
    EXPECT_TRUE(history.Bars().empty());
    history.Add(30, 0);
    history.Add(30, 1000);
    EXPECT_EQ(BarsOf(history), std::vector<int>{30});
}

} // namespace
