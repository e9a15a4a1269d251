// Starting and stopping passes on an output's worker, the end-of-pass events and their order, and
// the shared event thread that hands events to the GUI thread.
#include "audio/tests/GuiPump.h"
#include "audio/tests/TestChain.h"
#include "testsupport/ThreadNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace audio::test {
namespace {

using namespace std::chrono_literals;

class EventLog {
public:
    void Add(std::string Entry) {
        std::lock_guard guard(FLock);
        FEntries.push_back(std::move(Entry));
    }
    std::vector<std::string> Entries() const {
        std::lock_guard guard(FLock);
        return FEntries;
    }
    int Count(const std::string& Entry) const {
        std::lock_guard guard(FLock);
        return static_cast<int>(std::count(FEntries.begin(), FEntries.end(), Entry));
    }

private:
    mutable std::mutex FLock;
    std::vector<std::string> FEntries;
};

class OutputThread : public ::testing::Test {
protected:
    OutputThread() {
        platform::SetGuiThread();
        Source->Endless = true;
        Source->BlockLimit = 256;
        Source->Pace = 200us;
        Output->SetInput(Source.get());
        Output->OnSyncDone = [this](TComponent* Sender) {
            EXPECT_EQ(Sender, OutputObject);
            Log.Add(platform::IsGuiThread() ? "SyncDone on GUI thread" : "SyncDone");
        };
        Output->OnDone = [this](TComponent* Sender) {
            EXPECT_EQ(Sender, Output.get());
            // The pass has completely ended before its done event arrives.
            EXPECT_FALSE(Output->Busy());
            Log.Add(platform::IsGuiThread() ? "Done" : "Done off GUI thread");
        };
        Output->OnThreadException = [this](TComponent* Sender) {
            auto* output = static_cast<TAudioOutput*>(Sender);
            Log.Add("Exception: " + output->ExceptionText());
        };
    }

    void RunUntilBlocks(int Count = 3) {
        const int before = Output->Blocks;
        Output->Run();
        ASSERT_TRUE(PumpUntil([&] { return Output->Blocks >= before + Count; }));
    }

    TComponentPtr<TMemorySource> Source = MakeComponent<TMemorySource>();
    TComponentPtr<TTestOutput> Output = MakeComponent<TTestOutput>();
    // Stays valid while Output is being destroyed (the smart pointer is cleared first).
    TTestOutput* const OutputObject = Output.get();
    EventLog Log;
};

// A profiler or `top -H` tells the recording's worker and the event thread apart from the rest.
TEST_F(OutputThread, TheWorkerAndTheEventThreadCarryTheirNames) {
    RunUntilBlocks();
    const std::vector<std::string> names = testsupport::ThreadNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "audio-worker"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "audio-events"), names.end());
    Output->Stop(false);
}

TEST_F(OutputThread, StopsOfAnIdleOutputReturnWithoutEventsAndDoNotStick) {
    Output->Stop(false);
    Output->Stop(true);
    PumpFor(150ms);
    EXPECT_TRUE(Log.Entries().empty());
    EXPECT_EQ(Output->Status(), TOutputStatus::tosIdle);
    RunUntilBlocks();
    Output->Stop(false);
}

TEST_F(OutputThread, SynchronousStopEndsThePassBeforeReturning) {
    RunUntilBlocks();
    EXPECT_TRUE(Output->Busy());
    EXPECT_EQ(Output->Status(), TOutputStatus::tosPlaying);
    EXPECT_TRUE(Output->PreparedDuringBlock);
    Output->Stop(false);
    EXPECT_FALSE(Output->Busy());
    EXPECT_FALSE(Output->Prepared());
    EXPECT_EQ(Output->Ends, 1);
    EXPECT_TRUE(Output->BusyDuringEnd);
    EXPECT_EQ(Log.Count("SyncDone"), 1);
    EXPECT_EQ(Source->Closes, 1);

    // The next pass starts at once.
    RunUntilBlocks();
    Output->Stop(false);
    EXPECT_EQ(Output->Begins, 2);
    EXPECT_EQ(Log.Count("SyncDone"), 2);
    PumpFor(200ms);
    EXPECT_EQ(Log.Count("Done"), 0) << "no done event for a synchronously stopped pass";
}

TEST_F(OutputThread, AsynchronousStopReturnsAtOnceAndTheEndEventsFollowInOrder) {
    RunUntilBlocks();
    Output->HoldEnd = true;
    Output->Stop(true);
    ASSERT_TRUE(PumpUntil([&] { return Output->Ends == 1; }));
    try {
        Output->Run();
        FAIL() << "Run during the end of a pass";
    } catch (const EAudioException& error) {
        EXPECT_STREQ(error.what(), "Component is Busy");
    }
    Output->HoldEnd = false;
    ASSERT_TRUE(PumpUntil([&] { return Log.Count("Done") == 1; }));
    EXPECT_EQ(Log.Entries(), (std::vector<std::string>{"SyncDone", "Done"}));
    EXPECT_EQ(Output->Begins, 1);
}

TEST_F(OutputThread, RunDuringTheEndOfAPassStartsAFullPassAndEventsKeepFlowing) {
    std::atomic<bool> holdSyncDone{true};
    // The first pass's done event arrives while the second pass runs.
    Output->OnDone = [&](TComponent*) { Log.Add("Done"); };
    Output->OnSyncDone = [&](TComponent*) {
        Log.Add("SyncDone");
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (holdSyncDone && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
    };
    RunUntilBlocks();
    Output->Stop(true);
    ASSERT_TRUE(PumpUntil([&] { return !Output->Busy(); }));
    // The worker is still in its end steps: a late stop request belongs to the ended pass and
    // must not cut short the pass that Run starts now.
    Output->Stop(true);
    Output->Run();
    holdSyncDone = false;
    const int blocks = Output->Blocks;
    ASSERT_TRUE(PumpUntil([&] { return Output->Blocks > blocks + 10; }));
    EXPECT_TRUE(Output->Busy());
    EXPECT_EQ(Output->Begins, 2);

    // The first pass's done event does not hold up the queue while the second pass runs.
    auto indicator = MakeComponent<TPassConverter>();
    bool gainData = false;
    PostEvent(indicator.get(), TNotifyEvent([&](TComponent*) { gainData = true; }));
    EXPECT_TRUE(PumpUntil([&] { return gainData && Log.Count("Done") == 1; }, 3s));
    Output->Stop(false);
}

TEST_F(OutputThread, PassEndingByItselfBringsSyncDoneThenDone) {
    Source->Endless = false;
    Source->Data.assign(5000, 1);
    Output->Run();
    ASSERT_TRUE(PumpUntil([&] { return Log.Count("Done") == 1; }));
    EXPECT_EQ(Log.Entries(), (std::vector<std::string>{"SyncDone", "Done"}));
    EXPECT_EQ(Output->BytesRead, 5000u);
    EXPECT_EQ(Output->Ends, 1);
    EXPECT_EQ(Output->Aborts, 0);
}

TEST_F(OutputThread, FailureInsideAPassIsReportedNeverRaised) {
    struct Case {
        std::atomic<bool> TTestOutput::*Switch;
        const char* Message;
    };
    const Case cases[] = {{&TTestOutput::FailBegin, "File name is not assigned."},
                          {&TTestOutput::FailBlock, "Error writing down mp3 file"},
                          {&TTestOutput::FailEnd, "Failed to write tags"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Message);
        EventLog log;
        auto output = MakeComponent<TTestOutput>();
        output->SetInput(Source.get());
        output->OnThreadException = [&](TComponent* Sender) {
            log.Add("Exception: " + static_cast<TAudioOutput*>(Sender)->ExceptionText());
        };
        output->OnSyncDone = [&](TComponent*) { log.Add("SyncDone"); };
        output->OnDone = [&](TComponent*) { log.Add("Done"); };
        (output.get()->*c.Switch) = true;
        if (c.Switch == &TTestOutput::FailEnd) {
            output->Run();
            ASSERT_TRUE(PumpUntil([&] { return output->Blocks > 0; }));
            output->Stop(true);
        } else {
            EXPECT_NO_THROW(output->Run());
        }
        ASSERT_TRUE(PumpUntil([&] { return log.Count("Done") == 1; }));
        EXPECT_EQ(output->ExceptionText(), c.Message);
        EXPECT_EQ(log.Count(std::string("Exception: ") + c.Message), 1);
        EXPECT_EQ(log.Count("SyncDone"), 1);
        EXPECT_EQ(output->Ends, 1) << "EndOutput runs after every pass";
        EXPECT_FALSE(output->Busy());
        // Run clears the text of the last failure.
        (output.get()->*c.Switch) = false;
        output->Run();
        EXPECT_EQ(output->ExceptionText(), "");
        output->Stop(false);
    }
}

TEST_F(OutputThread, RunRefusesABusyOutputAndAMissingInput) {
    RunUntilBlocks();
    try {
        Output->Run();
        FAIL();
    } catch (const EAudioException& error) {
        EXPECT_STREQ(error.what(), "Component is Busy");
    }
    Output->Stop(false);
    EXPECT_EQ(Output->Begins, 1);

    auto lone = MakeComponent<TTestOutput>();
    try {
        lone->Run();
        FAIL();
    } catch (const EAudioException& error) {
        EXPECT_STREQ(error.what(), "Input is not assigned");
    }
    EXPECT_FALSE(lone->Busy());
    lone->SetInput(Source.get());
    lone->Run();
    ASSERT_TRUE(PumpUntil([&] { return lone->Blocks > 0; }));
    lone->Stop(false);
}

TEST_F(OutputThread, StopFromTheWorkerRaises) {
    std::string message;
    Output->OnSyncDone = [&](TComponent*) {
        try {
            Output->Stop(false);
        } catch (const EAudioException& error) {
            message = error.what();
        }
    };
    RunUntilBlocks();
    Output->Stop(false);
    EXPECT_EQ(message, "You are trying to stop this thread from the thread itself!");
    EXPECT_FALSE(Output->Busy());
}

TEST_F(OutputThread, SyncDoneMayHandACallToTheGuiThreadWhileTheGuiThreadStops) {
    // As the report's checksum box does: the worker waits for the GUI thread, which is itself
    // waiting in the synchronous stop.
    bool ranOnGui = false;
    Output->OnSyncDone = [&](TComponent*) {
        platform::Synchronize([&] { ranOnGui = platform::IsGuiThread(); });
    };
    RunUntilBlocks();
    Output->Stop(false);
    EXPECT_TRUE(ranOnGui);
}

TEST_F(OutputThread, NewInputOfABusyOutputRestartsThePassOnIt) {
    RunUntilBlocks();
    auto other = MakeComponent<TMemorySource>();
    other->Endless = true;
    other->Pace = 200us;
    Output->SetInput(other.get());
    EXPECT_EQ(Log.Count("SyncDone"), 1);
    EXPECT_EQ(Source->Closes, 1);
    ASSERT_TRUE(PumpUntil([&] { return other->Reads > 0; }));
    EXPECT_EQ(Output->Begins, 2);
    EXPECT_TRUE(Output->Busy());
    Output->Stop(false);
}

TEST_F(OutputThread, DestroyedInputStopsABusyOutputAndLeavesItIdle) {
    RunUntilBlocks();
    Source.reset();
    EXPECT_EQ(Output->Input(), nullptr);
    EXPECT_FALSE(Output->Busy());
    EXPECT_EQ(Log.Count("SyncDone"), 1);
    EXPECT_EQ(Output->Ends, 1);
}

TEST_F(OutputThread, QueuedEventsOfOtherComponentsRunInsideASynchronousStop) {
    auto indicator = MakeComponent<TPassConverter>();
    int gainEvents = 0;
    RunUntilBlocks();
    // The pass cannot end before the indicator's event has been handled, and the test does not
    // pump: only the stop's wait can run it.
    Output->HoldEnd = true;
    TNotifyEvent gainData = [&](TComponent* Sender) {
        EXPECT_EQ(Sender, indicator.get());
        ++gainEvents;
        Output->HoldEnd = false;
    };
    PostEvent(indicator.get(), gainData);
    Output->Stop(false);
    EXPECT_EQ(gainEvents, 1);
    EXPECT_EQ(Log.Count("SyncDone"), 1);
}

TEST_F(OutputThread, EndlessInputReportsProgressOncePerLifetime) {
    std::vector<std::int32_t> progress;
    Output->OnProgress = [&](TComponent* Sender) {
        progress.push_back(static_cast<TAudioOutput*>(Sender)->Progress());
    };
    for (int pass = 0; pass < 2; ++pass) {
        RunUntilBlocks(20);
        Output->Stop(true);
        ASSERT_TRUE(PumpUntil([&] { return Log.Count("Done") == pass + 1; }));
    }
    EXPECT_EQ(progress, (std::vector<std::int32_t>{-1}));
    EXPECT_EQ(Output->LastProgress(), -1);
}

TEST_F(OutputThread, ProgressOfTheInput) {
    auto finite = MakeComponent<TMemorySource>();
    finite->Data.assign(8, 0);
    finite->BlockLimit = 1;
    auto output = MakeComponent<TTestOutput>();
    EXPECT_EQ(output->Progress(), 0) << "no input";
    output->SetInput(finite.get());
    finite->Open();
    struct Case {
        int ReadBytes;
        std::int32_t Percent;
    };
    // 1/8 = 12.5 % and 3/8 = 37.5 %: ties go to the even neighbour.
    const Case cases[] = {{0, 0}, {1, 12}, {2, 25}, {3, 38}, {4, 50}, {8, 100}};
    int read = 0;
    for (const Case& c : cases) {
        for (; read < c.ReadBytes; ++read) {
            const void* block = nullptr;
            std::uint32_t bytes = 1;
            finite->ReadBlock(block, bytes);
        }
        EXPECT_EQ(output->Progress(), c.Percent) << c.ReadBytes;
    }
    finite->Close();
    finite->Data.clear();
    finite->Open();
    EXPECT_EQ(output->Progress(), 0) << "size 0";
    finite->Endless = true;
    finite->Open();
    EXPECT_EQ(output->Progress(), -1) << "endless";
}

TEST_F(OutputThread, DestroyingARunningOutputStopsItSynchronously) {
    RunUntilBlocks();
    Output->OnDone = [&](TComponent*) { Log.Add("Done"); };
    Output.reset();
    EXPECT_EQ(Log.Count("SyncDone"), 1);
    PumpFor(200ms);
    EXPECT_EQ(Log.Count("Done"), 0);
}

TEST(EventThread, SharedByOutputsEndedWithTheLastAndCreatedAgain) {
    platform::SetGuiThread();
    ASSERT_EQ(EventThread(), nullptr);
    auto first = MakeComponent<TTestOutput>();
    const std::shared_ptr<TEventHandler> shared = EventThread();
    ASSERT_NE(shared, nullptr);
    auto second = MakeComponent<TTestOutput>();
    EXPECT_EQ(EventThread(), shared);
    first.reset();
    EXPECT_EQ(EventThread(), shared);
    second.reset();
    EXPECT_EQ(EventThread(), nullptr);
    // Ended, not merely let go: what still reaches it is never handed to the GUI thread.
    auto sender = MakeComponent<TPassConverter>();
    bool delivered = false;
    shared->PostEvent(sender.get(), TNotifyEvent([&](TComponent*) { delivered = true; }));
    PumpFor(200ms);
    EXPECT_FALSE(delivered);
    auto third = MakeComponent<TTestOutput>();
    // A new thread: the ended one is still held here, so its address cannot come back.
    EXPECT_NE(EventThread(), nullptr);
    EXPECT_NE(EventThread(), shared);
}

TEST(EventThread, EventsOfADestroyedSenderAreNeverDelivered) {
    platform::SetGuiThread();
    auto output = MakeComponent<TTestOutput>();
    auto sender = MakeComponent<TPassConverter>();
    int delivered = 0;
    TNotifyEvent handler = [&](TComponent*) { ++delivered; };
    // Posted without pumping: the first waits in the hand-over, the rest in the queue.
    for (int i = 0; i < 5; ++i)
        PostEvent(sender.get(), handler);
    std::this_thread::sleep_for(50ms);
    sender.reset();
    PumpFor(200ms);
    EXPECT_EQ(delivered, 0);
}

TEST(EventThread, FailingHandlerDoesNotStopDelivery) {
    platform::SetGuiThread();
    std::vector<std::string> failures;
    SetHandlerFailureReporter([&](const std::string& Message) { failures.push_back(Message); });
    auto output = MakeComponent<TTestOutput>();
    auto sender = MakeComponent<TPassConverter>();
    int delivered = 0;
    PostEvent(sender.get(), TNotifyEvent([](TComponent*) { throw std::runtime_error("boom"); }));
    PostEvent(sender.get(), TNotifyEvent([&](TComponent*) { ++delivered; }));
    EXPECT_TRUE(PumpUntil([&] { return delivered == 1; }));
    EXPECT_EQ(failures, (std::vector<std::string>{"boom"}));
    SetHandlerFailureReporter(nullptr);
}

} // namespace
} // namespace audio::test
