#include "platform/GuiHandover.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Plays the GUI thread: drains hand-overs until `until` holds.
template <typename Predicate> void PumpUntil(Predicate until) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!until()) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "hand-over never completed";
        if (!platform::CheckSynchronize())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TEST(GuiHandover, RunsOnGuiThreadInOrderAndWaitsForEachCall) {
    platform::SetGuiThread();
    const auto gui = std::this_thread::get_id();
    std::vector<int> order;
    std::atomic<int> finished{0};
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i) {
            platform::Synchronize([&] {
                EXPECT_EQ(std::this_thread::get_id(), gui);
                order.push_back(i);
            });
            // Synchronize returned, so the call has run: its effect is visible here.
            EXPECT_EQ(static_cast<int>(order.size()), i + 1);
        }
        finished = 1;
    });
    PumpUntil([&] { return finished.load() == 1; });
    worker.join();
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[i], i);
}

TEST(GuiHandover, FailureOfTheCallReachesTheCaller) {
    platform::SetGuiThread();
    std::atomic<bool> done{false};
    std::string message;
    std::thread worker([&] {
        try {
            platform::Synchronize([] { throw std::runtime_error("refused"); });
        } catch (const std::runtime_error& failure) {
            message = failure.what();
        }
        done = true;
    });
    PumpUntil([&] { return done.load(); });
    worker.join();
    EXPECT_EQ(message, "refused");
}

TEST(GuiHandover, GuiThreadRunsItsOwnCallAtOnceAndEmptyQueueReportsNothing) {
    platform::SetGuiThread();
    bool ran = false;
    platform::Synchronize([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(platform::CheckSynchronize());
}

TEST(GuiHandover, WakeUpIsCalledForEveryQueuedCall) {
    platform::SetGuiThread();
    std::atomic<int> wakeUps{0};
    platform::SetHandoverWakeUp([&] { ++wakeUps; });
    std::atomic<int> finished{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&] {
            for (int i = 0; i < 50; ++i)
                platform::Synchronize([] {});
            ++finished;
        });
    PumpUntil([&] { return finished.load() == 4; });
    for (auto& worker : workers)
        worker.join();
    platform::SetHandoverWakeUp({});
    EXPECT_EQ(wakeUps.load(), 200);
}

} // namespace
