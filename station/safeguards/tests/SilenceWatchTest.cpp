#include "station/safeguards/SilenceWatch.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace station;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const Clock::time_point T0{};

struct Stretch {
    std::chrono::milliseconds length;
    int level;
};

struct Outcome {
    std::optional<std::chrono::milliseconds> firstSilent; // since the start of the recording
    SignalState last = SignalState::Sound;
};

// A recording started at T0 whose meter reports every 100 ms.
Outcome Record(const std::vector<Stretch>& stretches) {
    SilenceWatch watch;
    watch.Start(T0);
    Outcome outcome;
    std::chrono::milliseconds now{0};
    for (const Stretch& stretch : stretches)
        for (auto end = now + stretch.length; now < end;) {
            now += 100ms;
            outcome.last = watch.Feed(stretch.level, T0 + now);
            if (outcome.last == SignalState::Silent && !outcome.firstSilent)
                outcome.firstSilent = now;
        }
    return outcome;
}

TEST(SilenceWatchTest, TenQuietSecondsInARowRaiseSilenceAndSoundEndsIt) {
    struct Case {
        const char* name;
        std::vector<Stretch> stretches;
        std::optional<std::chrono::milliseconds> firstSilent;
        SignalState last;
    };
    const Case cases[] = {
        {"quiet from the start", {{10s, 0}}, 10s, SignalState::Silent},
        {"not before ten seconds", {{9900ms, 0}}, std::nullopt, SignalState::Sound},
        {"level 2 is quiet", {{10s, 2}}, 10s, SignalState::Silent},
        {"counted from the last sound", {{5s, 50}, {11s, 0}}, 15100ms, SignalState::Silent},
        {"one reading above 2 restarts the count",
         {{5s, 0}, {100ms, 3}, {9900ms, 1}},
         std::nullopt,
         SignalState::Sound},
        {"sound ends silence at once", {{12s, 1}, {100ms, 3}}, 10s, SignalState::Sound},
        {"silence comes back", {{12s, 2}, {100ms, 40}, {11s, 0}}, 10s, SignalState::Silent},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Record(c.stretches);
        EXPECT_EQ(outcome.firstSilent, c.firstSilent) << c.name;
        EXPECT_EQ(outcome.last, c.last) << c.name;
    }
}

TEST(SilenceWatchTest, AMeterThatNeverMovesIsSilenceToo) {
    SilenceWatch watch;
    EXPECT_EQ(watch.Update(T0 + 1h), SignalState::Sound); // not recording
    watch.Start(T0);
    EXPECT_EQ(watch.Update(T0 + 9999ms), SignalState::Sound);
    EXPECT_EQ(watch.Update(T0 + 10s), SignalState::Silent);
    EXPECT_EQ(watch.Feed(60, T0 + 10100ms), SignalState::Sound);

    EXPECT_EQ(watch.Feed(0, T0 + 30s), SignalState::Sound);
    EXPECT_EQ(watch.Update(T0 + 40s), SignalState::Silent);

    // The next participant starts afresh.
    watch.Start(T0 + 41s);
    EXPECT_EQ(watch.State(), SignalState::Sound);
    EXPECT_EQ(watch.Feed(0, T0 + 50s), SignalState::Sound);
    EXPECT_EQ(watch.Feed(0, T0 + 51s), SignalState::Silent);
}

TEST(MicrophoneTestWatchTest, ATestOfThreeSecondsOrMoreWithoutSoundIsReported) {
    struct Case {
        std::chrono::milliseconds length;
        std::vector<int> levels;
        bool reported;
    };
    const Case cases[] = {
        {3s, {0, 0, 1, 2, 0}, true}, {2999ms, {0, 0}, false},
        {5s, {0, 3, 0}, false},      {60s, {}, true}, // the meter never moved
        {5s, {100}, false},
    };
    for (const Case& c : cases) {
        MicrophoneTestWatch watch;
        watch.Start(T0);
        for (const int level : c.levels)
            watch.Feed(level);
        const std::optional<std::string> message = watch.Finish(T0 + c.length);
        EXPECT_EQ(message.has_value(), c.reported) << c.length.count();
        if (message) {
            EXPECT_EQ(*message,
                      "Микрофон не передаёт звук. Проверьте подключение и громкость микрофона.");
        }
    }

    MicrophoneTestWatch watch;
    EXPECT_FALSE(watch.Finish(T0 + 10s)); // never started
    watch.Start(T0);
    EXPECT_TRUE(watch.Finish(T0 + 10s));
    EXPECT_FALSE(watch.Finish(T0 + 20s)); // one report per test
}

} // namespace
