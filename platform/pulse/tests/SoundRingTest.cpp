#include "platform/pulse/SoundRing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using platform::LockedRegion;
using platform::pulse::SoundRing;

TEST(SoundRing, LockSplitsAWrappingRegionIntoTwoParts) {
    SoundRing ring(10);
    std::vector<std::uint8_t> bytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ring.Fill(bytes.data(), bytes.size()); // wraps: 11 and 12 overwrite the first two
    EXPECT_EQ(ring.Cursor(), 2u);

    LockedRegion region;
    ASSERT_EQ(ring.Lock(8, 5, &region), platform::DS_OK);
    EXPECT_EQ(region.bytes1, 2u);
    EXPECT_EQ(region.bytes2, 3u);
    EXPECT_EQ(region.part1[0], 9);
    EXPECT_EQ(region.part2[0], 11);
    EXPECT_EQ(region.part2[2], 3);
    EXPECT_EQ(ring.Lock(0, 1, &region), platform::DSERR_INVALIDCALL);
    EXPECT_EQ(ring.Unlock(region), platform::DS_OK);
    EXPECT_EQ(ring.Unlock(region), platform::DSERR_INVALIDCALL);
}

// The ring counts what the reader has not taken: a ring's worth unread is an overrun, whatever the
// clock says, and taking what waits (up to the cursor, or part of it) counts it off.
TEST(SoundRing, CountsWhatTheReaderHasNotTaken) {
    SoundRing ring(10);
    std::vector<std::uint8_t> bytes(25, 7);
    LockedRegion region;

    ring.Fill(bytes.data(), 9);
    EXPECT_FALSE(ring.Overran());
    ASSERT_EQ(ring.Lock(0, 4, &region), platform::DS_OK); // part of what waits: 5 left
    ring.Unlock(region);
    ring.Fill(bytes.data(), 4);
    EXPECT_FALSE(ring.Overran());
    EXPECT_EQ(ring.Fill(bytes.data(), 1), 0u);
    EXPECT_TRUE(ring.Overran()); // 10 unread: the next byte overwrites the oldest
    EXPECT_EQ(ring.Overwritten(), 0u);

    ASSERT_EQ(ring.Lock(ring.Cursor(), 10, &region),
              platform::DS_OK); // the whole ring, to the cursor
    ring.Unlock(region);
    EXPECT_FALSE(ring.Overran());
    // Exactly what no reader can get back any more is counted lost, however far the fill ran.
    EXPECT_EQ(ring.Fill(bytes.data(), 25), 15u);
    EXPECT_TRUE(ring.Overran());
    EXPECT_EQ(ring.Fill(bytes.data(), 3), 3u);
    EXPECT_EQ(ring.Overwritten(), 18u);
}

TEST(SoundRing, RefusesRegionsOutsideTheRing) {
    SoundRing ring(10);
    LockedRegion region;
    EXPECT_EQ(ring.Lock(10, 1, &region), platform::DSERR_INVALIDPARAM);
    EXPECT_EQ(ring.Lock(0, 11, &region), platform::DSERR_INVALIDPARAM);
    EXPECT_EQ(ring.Lock(0, 0, &region), platform::DSERR_INVALIDPARAM);
    ASSERT_EQ(ring.Lock(0, 10, &region), platform::DS_OK);
    EXPECT_EQ(region.bytes1, 10u);
    EXPECT_EQ(region.part2, nullptr);
    ring.Unlock(region);
}

TEST(SoundRing, NullFillWritesSilence) {
    SoundRing ring(4);
    const std::uint8_t ones[4] = {1, 1, 1, 1};
    ring.Fill(ones, 4);
    ring.Fill(nullptr, 3);
    LockedRegion region;
    ASSERT_EQ(ring.Lock(0, 4, &region), platform::DS_OK);
    EXPECT_EQ(region.part1[0] + region.part1[1] + region.part1[2], 0);
    EXPECT_EQ(region.part1[3], 1);
    ring.Unlock(region);
}

// The writer fills whole 64-byte records of one repeated value; a locked region must never show
// a record half overwritten.
TEST(SoundRing, ALockedRegionIsNeverTornByTheFillingThread) {
    constexpr std::uint32_t record = 64;
    SoundRing ring(record * 16);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        std::vector<std::uint8_t> block(record);
        for (std::uint8_t value = 0; !stop.load(); ++value) {
            std::fill(block.begin(), block.end(), value);
            ring.Fill(block.data(), block.size());
        }
    });
    for (int i = 0; i < 2000; ++i) {
        const std::uint32_t start = (ring.Cursor() + record) % ring.Size();
        LockedRegion region;
        ASSERT_EQ(ring.Lock(start, record, &region), platform::DS_OK);
        for (std::uint32_t b = 1; b < region.bytes1; ++b)
            ASSERT_EQ(region.part1[b], region.part1[0]);
        ring.Unlock(region);
    }
    stop = true;
    writer.join();
}

} // namespace
