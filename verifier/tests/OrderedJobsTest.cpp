// Results come out in their order however the threads finish them; a failure stops the rest.
#include "verifier/tool/OrderedJobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace interview_check::tool {
namespace {

TEST(OrderedJobsTest, ResultsAreDeliveredInOrderOnTheCallingThread) {
    constexpr std::size_t Count = 40;
    std::vector<int> results(Count, -1);
    std::vector<std::size_t> delivered;
    std::vector<std::size_t> progress;
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<int> running{0};
    std::atomic<int> mostRunning{0};
    RunOrdered(
        Count, 4,
        [&](std::size_t i) {
            const int now = ++running;
            for (int seen = mostRunning;
                 now > seen && !mostRunning.compare_exchange_weak(seen, now);) {
            }
            // Later items finish first now and then.
            std::this_thread::sleep_for(std::chrono::milliseconds((Count - i) % 5));
            results[i] = static_cast<int>(i * i);
            --running;
        },
        [&](std::size_t i) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            EXPECT_EQ(results[i], static_cast<int>(i * i));
            delivered.push_back(i);
        },
        [&](std::size_t done) { progress.push_back(done); });

    ASSERT_EQ(delivered.size(), Count);
    for (std::size_t i = 0; i < Count; ++i)
        EXPECT_EQ(delivered[i], i);
    EXPECT_LE(mostRunning.load(), 4);
    EXPECT_GT(mostRunning.load(), 1);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), Count);
    for (std::size_t i = 1; i < progress.size(); ++i)
        EXPECT_LT(progress[i - 1], progress[i]);
}

TEST(OrderedJobsTest, AFailureIsRaisedAfterTheThreadsEndAndStopsTheRest) {
    // One job, so that which items start is certain: with more, another job may race through every
    // remaining item before the failure is noted.
    std::atomic<std::size_t> started{0};
    const auto run = [&] {
        RunOrdered(
            1000, 1,
            [&](std::size_t i) {
                ++started;
                if (i == 3)
                    throw std::runtime_error("item 3 failed");
            },
            [](std::size_t) {}, [](std::size_t) {});
    };
    EXPECT_THROW(run(), std::runtime_error);
    EXPECT_EQ(started.load(), 4u);
}

} // namespace
} // namespace interview_check::tool
