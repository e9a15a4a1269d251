#include "audio/AudioThread.h"

#include "audio/AudioOutput.h"
#include "audio/EventHandler.h"
#include "platform/GuiHandover.h"
#include "platform/ThreadName.h"

#include <exception>
#include <string>

namespace audio {

TAudioThread::TAudioThread(TAudioOutput& Output) : FOutput(Output) {
    FThread = std::thread([this] {
        platform::NameCurrentThread("audio-worker");
        Execute();
    });
    FThreadId = FThread.get_id();
}

TAudioThread::~TAudioThread() {
    {
        std::unique_lock lock(FStateLock);
        FTerminated = true;
        FStateChanged.notify_all();
        // The worker may be inside a hand-over to this (GUI) thread; keep them running.
        platform::WaitRunningHandovers(lock, FStateChanged, [this] { return FEnded; });
    }
    FThread.join();
}

std::uint64_t TAudioThread::PassesStarted() const {
    std::lock_guard guard(FStateLock);
    return FPassesStarted;
}

std::uint64_t TAudioThread::PassesFinished() const {
    std::lock_guard guard(FStateLock);
    return FPassesFinished;
}

void TAudioThread::WaitForPassEnd(std::uint64_t Pass) {
    std::unique_lock lock(FStateLock);
    platform::WaitRunningHandovers(lock, FStateChanged, [&] { return FPassesFinished >= Pass; });
}

std::uint64_t TAudioThread::StartPass() {
    std::lock_guard guard(FStateLock);
    FOutput.FBusy = true;
    FPassDone = false;
    // A stop asked before this start belongs to an earlier pass.
    FStopRequested = false;
    ++FPassesStarted;
    if (FIdle) {
        FIdle = false;
        FWakePending = true;
        FStateChanged.notify_all();
    }
    return FPassesStarted;
}

std::uint64_t TAudioThread::RequestStop(bool NotifyDoneValue) {
    std::lock_guard guard(FStateLock);
    FNotifyDone = NotifyDoneValue;
    FStopRequested = true;
    return FPassesStarted;
}

void TAudioThread::WaitForWake(std::unique_lock<std::mutex>& Lock) {
    FIdle = true;
    FStateChanged.notify_all();
    FStateChanged.wait(Lock, [this] { return FWakePending || FTerminated; });
    FWakePending = false;
    FIdle = false;
}

void TAudioThread::Execute() {
    std::unique_lock lock(FStateLock);
    WaitForWake(lock);
    while (!FTerminated) {
        // Passes run one after the other, so the pass now starting is the one after the last
        // finished.
        const std::uint64_t pass = FPassesFinished + 1;
        lock.unlock();
        RunPass(pass);
        lock.lock();
        ++FPassesFinished;
        FStateChanged.notify_all();
        // A Run that came while the pass was ending has set Busy under this lock: start its pass.
        if (FOutput.FBusy)
            continue;
        FPassDone = true;
        if (FTerminated)
            break;
        WaitForWake(lock);
    }
    FIdle = true;
    FEnded = true;
    FStateChanged.notify_all();
}

void TAudioThread::RunPass(std::uint64_t Pass) {
    TAudioOutput& output = FOutput;
    bool failed = false;
    std::string failure;
    platform::FailureCause cause;
    try {
        output.BeginOutput();
        output.FPrepared = true;
        bool more = true;
        while (more && !FStopRequested) {
            const std::int32_t progress = output.Progress();
            if (progress != output.FLastProgress) {
                output.FLastProgress = progress;
                if (output.OnProgress.Assigned())
                    if (auto events = EventThread())
                        events->PostProgress(&output, output.OnProgress.Get());
            }
            more = output.OutputBlock(FStopRequested);
        }
        FStopRequested = false;
    } catch (const std::exception& error) {
        failed = true;
        failure = error.what();
        cause = platform::CauseOf(error);
    } catch (...) {
        failed = true;
        failure = "Unknown failure in the recording chain";
    }
    if (failed)
        ReportPassFailure(failure, cause);
    FinishPass();
    try {
        output.OnSyncDone(&output);
    } catch (const std::exception& error) {
        ReportHandlerFailure(error.what());
    } catch (...) {
        ReportHandlerFailure("Unknown failure in an end-of-pass handler");
    }
    if (auto events = EventThread())
        events->PostDone(&output, this, Pass);
}

void TAudioThread::FinishPass() {
    TAudioOutput& output = FOutput;
    output.FPrepared = false;
    if (!output.FBusy)
        return;
    // The pass is over either way. A failure to finish (the file not completed or not closed) is
    // still reported unless the pass already failed: a recording must never fail silently.
    try {
        output.EndOutput();
    } catch (const std::exception& error) {
        if (output.ExceptionText().empty())
            ReportPassFailure(error.what(), platform::CauseOf(error));
    } catch (...) {
        if (output.ExceptionText().empty())
            ReportPassFailure("Unknown failure while finishing the output", {});
    }
    output.FBusy = false;
}

void TAudioThread::ReportPassFailure(const std::string& Message, platform::FailureCause Cause) {
    FOutput.SetException(Message, Cause);
    PostEvent(&FOutput, FOutput.OnThreadException);
}

} // namespace audio
