// The worker thread of one output. It waits until Run starts a pass, runs the pass and its end
// steps, and waits again. Start and stop requests are decided under one state lock, so none is
// lost between the end of a pass and the next wait.
#pragma once

#include "platform/FailureCause.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace audio {

class TAudioOutput;

class TAudioThread {
public:
    // The worker starts at once and waits for its first wake before it looks at Output.
    explicit TAudioThread(TAudioOutput& Output);
    // Ends the thread; the output must be idle (TAudioOutput's destructor stops it first).
    ~TAudioThread();
    TAudioThread(const TAudioThread&) = delete;
    TAudioThread& operator=(const TAudioThread&) = delete;

    TAudioOutput& Output() const { return FOutput; }
    bool Idle() const { return FIdle; }
    bool PassDone() const { return FPassDone; }
    bool StopRequested() const { return FStopRequested; }
    bool NotifyDone() const { return FNotifyDone; }
    bool IsWorkerThread() const { return std::this_thread::get_id() == FThreadId; }
    // Passes started by Run / passes whose end steps have all run. A pass is identified by its
    // number (1, 2, ...).
    std::uint64_t PassesStarted() const;
    std::uint64_t PassesFinished() const;
    // Waits (running GUI hand-overs on the GUI thread) until pass `Pass` has completely ended.
    void WaitForPassEnd(std::uint64_t Pass);

private:
    friend class TAudioOutput;
    // Called by Run under its RunLock, with Busy already checked; returns the new pass's number.
    std::uint64_t StartPass();
    // Asks the current pass to end; returns its number (the last pass started).
    std::uint64_t RequestStop(bool NotifyDoneValue);
    void SetNotifyDone(bool Value) { FNotifyDone = Value; }
    void Execute();
    void RunPass(std::uint64_t Pass);
    void FinishPass();
    void ReportPassFailure(const std::string& Message, platform::FailureCause Cause);
    void WaitForWake(std::unique_lock<std::mutex>& Lock);

    TAudioOutput& FOutput;
    std::atomic<bool> FNotifyDone{true};
    std::atomic<bool> FPassDone{true};
    std::atomic<bool> FStopRequested{false};
    std::atomic<bool> FIdle{true};

    mutable std::mutex FStateLock;
    std::condition_variable FStateChanged;
    bool FWakePending = false;
    bool FTerminated = false;
    bool FEnded = false;
    std::uint64_t FPassesStarted = 0;
    std::uint64_t FPassesFinished = 0;
    std::thread::id FThreadId;
    std::thread FThread;
};

} // namespace audio
