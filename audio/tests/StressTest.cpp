// Thousands of starts and stops from two threads (and the GUI thread) on several outputs while
// events flow: no start or stop may be lost and nothing may hang.
#include "audio/tests/GuiPump.h"
#include "audio/tests/TestChain.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace audio::test {
namespace {

using namespace std::chrono_literals;

// Posts a data event every few blocks, as the gain indicator does.
class TEventingConverter : public TPassConverter {
public:
    TEventSlot OnData;

protected:
    void DoReadBlock(const void*& Buffer, std::uint32_t& Bytes) override {
        TPassConverter::DoReadBlock(Buffer, Bytes);
        if (++FBlocks % 16 == 0)
            PostEvent(this, OnData);
    }

private:
    std::uint32_t FBlocks = 0;
};

struct StressChain {
    TComponentPtr<TMemorySource> Source = MakeComponent<TMemorySource>();
    TComponentPtr<TEventingConverter> Converter = MakeComponent<TEventingConverter>();
    TComponentPtr<TTestOutput> Output = MakeComponent<TTestOutput>(256);
    std::atomic<int> RunsAccepted{0}, SyncDone{0}, Done{0}, Data{0};
    std::atomic<int> LostStops{0};

    StressChain() {
        Source->Endless = true;
        Source->BlockLimit = 128;
        Source->Pace = 20us;
        Converter->SetInput(Source.get());
        Output->SetInput(Converter.get());
        Output->OnSyncDone = [this](TComponent*) { ++SyncDone; };
        Output->OnDone = [this](TComponent*) { ++Done; };
        Converter->OnData = [this](TComponent*) { ++Data; };
    }

    void Act(int Action) {
        switch (Action) {
        case 0:
            try {
                Output->Run();
                ++RunsAccepted;
            } catch (const EAudioException& error) {
                EXPECT_STREQ(error.what(), "Component is Busy");
            }
            break;
        case 1: {
            // Whatever pass had started before the stop must have ended when it returns.
            const std::uint64_t started = Output->Worker().PassesStarted();
            Output->Stop(false);
            if (Output->Worker().PassesFinished() < started)
                ++LostStops;
            break;
        }
        default:
            Output->Stop(true);
            break;
        }
    }
};

[[noreturn]] void GiveUp(const char* What) {
    // Threads that hang cannot be joined; end the program with a clear message instead.
    std::fprintf(stderr, "stress test hung: %s\n", What);
    std::fflush(stderr);
    std::abort();
}

TEST(FrameworkStress, RunAndStopFromSeveralThreadsLoseNothing) {
    platform::SetGuiThread();
    std::array<StressChain, 3> chains;
    constexpr int CyclesPerThread = 4000;
    std::atomic<int> threadsDone{0};

    auto drive = [&](unsigned Seed) {
        std::mt19937 random(Seed);
        for (int i = 0; i < CyclesPerThread; ++i) {
            StressChain& chain = chains[random() % chains.size()];
            chain.Act(static_cast<int>(random() % 3));
            if (random() % 4 == 0)
                std::this_thread::sleep_for(std::chrono::microseconds(random() % 300));
        }
        ++threadsDone;
    };
    std::thread first(drive, 1u);
    std::thread second(drive, 2u);

    // The GUI thread delivers events and now and then stops an output itself, so its stops run
    // hand-overs while they wait.
    std::mt19937 random(3);
    const auto deadline = std::chrono::steady_clock::now() + 240s;
    while (threadsDone < 2) {
        if (std::chrono::steady_clock::now() > deadline)
            GiveUp("the driving threads did not finish");
        PumpFor(5ms);
        chains[random() % chains.size()].Act(1);
    }
    first.join();
    second.join();

    for (StressChain& chain : chains)
        chain.Output->Stop(false);
    // Done events of asynchronously stopped passes may still be on their way.
    PumpFor(300ms);

    int passes = 0, data = 0;
    for (StressChain& chain : chains) {
        TTestOutput& output = *chain.Output;
        EXPECT_FALSE(output.Busy());
        EXPECT_EQ(output.Begins, chain.RunsAccepted) << "every accepted start ran one pass";
        EXPECT_EQ(output.Ends, output.Begins);
        EXPECT_EQ(chain.SyncDone, output.Begins);
        EXPECT_LE(chain.Done, output.Begins);
        EXPECT_EQ(chain.LostStops, 0);
        EXPECT_EQ(output.Worker().PassesFinished(), output.Worker().PassesStarted());
        EXPECT_TRUE(output.Worker().Idle());
        passes += output.Begins;
        data += chain.Data;
    }
    EXPECT_GT(passes, 300);
    EXPECT_GT(data, 0) << "events flowed during the run";
    std::printf("passes %d, data events delivered %d\n", passes, data);
}

} // namespace
} // namespace audio::test
