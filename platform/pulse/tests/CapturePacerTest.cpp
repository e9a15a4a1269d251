#include "platform/pulse/CapturePacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::pulse::CapturePacer;

// 1000 bytes per second, 2-byte frames, 20 bytes of credit, at most 500 bytes held back.
struct CapturePacing : ::testing::Test {
    CapturePacer pacer{1000.0, 2, 20, 500};
    std::vector<std::uint8_t> released;
    void Release(std::uint64_t usec) {
        pacer.Release(usec, [&](const std::uint8_t* data, std::size_t bytes) {
            released.insert(released.end(), data, data + bytes);
        });
    }
};

TEST_F(CapturePacing, ABurstIsReleasedAtThePaceOfTheSound) {
    pacer.Restart();
    std::vector<std::uint8_t> burst(400);
    for (std::size_t i = 0; i < burst.size(); ++i)
        burst[i] = static_cast<std::uint8_t>(i);
    pacer.Push(burst.data(), burst.size());
    Release(0);
    EXPECT_EQ(released.size(), 0u); // the clock starts with the first bytes
    Release(100'000);               // 100 ms later: 100 bytes
    EXPECT_EQ(released.size(), 100u);
    Release(400'000);
    EXPECT_EQ(released.size(), 400u);
    EXPECT_EQ(released, burst); // in order, nothing lost
}

// Pieces of 50 bytes every 50 ms, looked at every 20 ms: the ring must move with the clock, one
// piece behind, so that each look finds exactly the time since the last one.
TEST_F(CapturePacing, PiecesOnScheduleAreSpreadEvenlyOnePieceBehind) {
    pacer.Restart();
    std::uint8_t piece[50] = {};
    for (std::uint64_t ms = 0; ms <= 1000; ms += 10) {
        if (ms % 50 == 0)
            pacer.Push(piece, sizeof piece);
        if (ms % 20 == 0 || ms % 50 == 0)
            Release(ms * 1000);
        if (ms % 20 == 0) {
            EXPECT_EQ(released.size(), ms) << ms;
        }
    }
    EXPECT_LE(pacer.Held(), 50u);
}

TEST_F(CapturePacing, TimeWithoutSoundEarnsNoMoreThanTheCredit) {
    pacer.Restart();
    std::uint8_t piece[100] = {};
    pacer.Push(piece, sizeof piece);
    Release(0);
    Release(100'000);
    ASSERT_EQ(released.size(), 100u);
    Release(1'100'000); // a second of nothing
    std::vector<std::uint8_t> burst(200);
    pacer.Push(burst.data(), burst.size());
    Release(1'100'000);
    EXPECT_EQ(released.size(), 120u);
}

TEST_F(CapturePacing, AGrowingBacklogIsCutToItsLimitAndSilenceFillsHoles) {
    pacer.Restart();
    pacer.Push(nullptr, 900);
    Release(0);
    EXPECT_EQ(pacer.Held(), 500u);
    EXPECT_EQ(released.size(), 400u);
    for (std::uint8_t b : released)
        ASSERT_EQ(b, 0);
}

TEST_F(CapturePacing, ReleasesWholeFramesOnlyAndRestartDropsWhatIsHeld) {
    pacer.Restart();
    std::uint8_t bytes[100] = {};
    pacer.Push(bytes, sizeof bytes);
    Release(0);
    Release(25'500); // 25.5 bytes due
    EXPECT_EQ(released.size(), 24u);
    pacer.Restart();
    EXPECT_EQ(pacer.Held(), 0u);
    Release(1'000'000);
    EXPECT_EQ(released.size(), 24u);
}

} // namespace
