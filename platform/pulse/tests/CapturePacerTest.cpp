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
    pacer.Restart(0);
    std::vector<std::uint8_t> burst(400);
    for (std::size_t i = 0; i < burst.size(); ++i)
        burst[i] = static_cast<std::uint8_t>(i);
    pacer.Push(burst.data(), burst.size());
    Release(0);
    EXPECT_EQ(released.size(), 20u); // the credit only
    Release(100'000);                // 100 ms later: 100 bytes more
    EXPECT_EQ(released.size(), 120u);
    Release(380'000);
    EXPECT_EQ(released.size(), 400u);
    EXPECT_EQ(released, burst); // in order, nothing lost
}

TEST_F(CapturePacing, BytesOnScheduleGoThroughAtOnce) {
    pacer.Restart(0);
    for (std::uint64_t ms = 10; ms <= 100; ms += 10) {
        std::uint8_t piece[10] = {};
        pacer.Push(piece, sizeof piece);
        Release(ms * 1000);
        EXPECT_EQ(released.size(), ms) << ms;
    }
    EXPECT_EQ(pacer.Held(), 0u);
}

TEST_F(CapturePacing, TimeWithoutSoundEarnsNoMoreThanTheCredit) {
    pacer.Restart(0);
    Release(1'000'000); // a second of nothing
    std::vector<std::uint8_t> burst(200);
    pacer.Push(burst.data(), burst.size());
    Release(1'000'000);
    EXPECT_EQ(released.size(), 20u);
}

TEST_F(CapturePacing, AGrowingBacklogIsCutToItsLimitAndSilenceFillsHoles) {
    pacer.Restart(0);
    pacer.Push(nullptr, 900);
    Release(0);
    EXPECT_EQ(pacer.Held(), 500u);
    EXPECT_EQ(released.size(), 400u);
    for (std::uint8_t b : released)
        ASSERT_EQ(b, 0);
}

TEST_F(CapturePacing, ReleasesWholeFramesOnly) {
    pacer.Restart(0);
    std::uint8_t bytes[100] = {};
    pacer.Push(bytes, sizeof bytes);
    Release(25'500); // 20 credit + 25.5 due
    EXPECT_EQ(released.size() % 2, 0u);
}

} // namespace
