#include "audio/EventHandler.h"

#include "audio/AudioOutput.h"
#include "audio/AudioThread.h"
#include "platform/GuiHandover.h"
#include "platform/ThreadName.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>

namespace audio {
namespace {

struct SharedEventThread {
    std::mutex Lock;
    std::shared_ptr<TEventHandler> Thread;
    int Users = 0;
};

SharedEventThread& Shared() {
    static SharedEventThread shared;
    return shared;
}

struct FailureReporter {
    std::mutex Lock;
    std::function<void(const std::string&)> Report;
};

FailureReporter& Reporter() {
    static FailureReporter reporter;
    return reporter;
}

constexpr auto DonePollInterval = std::chrono::milliseconds(10);

} // namespace

TEventHandler::TEventHandler() {
    FThread = std::thread([this] {
        platform::NameCurrentThread("audio-events");
        Execute();
    });
}

TEventHandler::~TEventHandler() {
    Terminate();
}

void TEventHandler::Terminate() {
    {
        std::unique_lock lock(FQueueLock);
        FTerminated = true;
        FQueueSignal.notify_all();
        // The thread may be waiting in a hand-over to this (GUI) thread.
        platform::WaitRunningHandovers(lock, FQueueSignal, [this] { return FEnded; });
    }
    if (FThread.joinable())
        FThread.join();
}

void TEventHandler::PostProgress(TAudioOutput* Output, const TNotifyEvent& Handler) {
    Post({TEventKind::Progress, Output, Handler, nullptr, 0, false});
}

void TEventHandler::PostDone(TAudioOutput* Output, TAudioThread* Worker, std::uint64_t Pass) {
    Post({TEventKind::Done, Output, {}, Worker, Pass, false});
}

void TEventHandler::PostEvent(TComponent* Sender, const TNotifyEvent& Handler) {
    Post({TEventKind::Component, Sender, Handler, nullptr, 0, false});
}

void TEventHandler::Post(TEventRecord Record) {
    auto record = std::make_unique<TEventRecord>(std::move(Record));
    std::lock_guard guard(FQueueLock);
    if (FTerminated || IsBlocked(record->Sender))
        return;
    FQueue.push_back(std::move(record));
    FQueueSignal.notify_all();
}

bool TEventHandler::IsBlocked(TComponent* Sender) const {
    return std::find(FBlockedSenders.begin(), FBlockedSenders.end(), Sender) !=
           FBlockedSenders.end();
}

void TEventHandler::BlockSender(TComponent* Sender) {
    std::lock_guard guard(FQueueLock);
    FBlockedSenders.push_back(Sender);
}

void TEventHandler::UnblockSender(TComponent* Sender) {
    std::lock_guard guard(FQueueLock);
    auto found = std::find(FBlockedSenders.begin(), FBlockedSenders.end(), Sender);
    if (found != FBlockedSenders.end())
        FBlockedSenders.erase(found);
}

void TEventHandler::RemoveEventsOf(TComponent* Sender) {
    std::lock_guard guard(FQueueLock);
    FQueue.erase(std::remove_if(FQueue.begin(), FQueue.end(),
                                [Sender](const auto& record) { return record->Sender == Sender; }),
                 FQueue.end());
    if (FCurrentEvent != nullptr && FCurrentEvent->Sender == Sender)
        FCurrentEvent->Discarded = true;
}

std::unique_ptr<TEventHandler::TEventRecord> TEventHandler::TakeFirst() {
    if (FQueue.empty())
        return nullptr;
    std::unique_ptr<TEventRecord> first = std::move(FQueue.front());
    FQueue.pop_front();
    return first;
}

void TEventHandler::Execute() {
    std::unique_lock lock(FQueueLock);
    while (!FTerminated) {
        while (!FTerminated) {
            std::unique_ptr<TEventRecord> record = TakeFirst();
            if (!record)
                break;
            FCurrentEvent = record.get();
            lock.unlock();
            if (record->Kind == TEventKind::Done)
                DeliverDone(*record);
            else
                Deliver(*record);
            lock.lock();
            FCurrentEvent = nullptr;
        }
        // Every post and the end signal under this lock, so the thread sleeps until there is work.
        FQueueSignal.wait(lock, [this] { return FTerminated || !FQueue.empty(); });
    }
    FQueue.clear();
    FEnded = true;
    FQueueSignal.notify_all();
}

void TEventHandler::DeliverDone(TEventRecord& Record) {
    // OnDone never overlaps the end of its pass. The worker is looked at only under the queue
    // lock and only while the record stands, since destroying its output discards the record
    // (under that lock) before the worker goes.
    for (;;) {
        {
            std::lock_guard guard(FQueueLock);
            if (Record.Discarded || FTerminated)
                return;
            if (Record.Worker->PassesFinished() >= Record.Pass)
                break;
        }
        std::this_thread::sleep_for(DonePollInterval);
    }
    Deliver(Record);
}

void TEventHandler::Deliver(TEventRecord& Record) {
    try {
        platform::Synchronize([this, &Record] { RunHandler(Record); });
    } catch (...) {
        // RunHandler keeps every failure to itself; nothing can arrive here.
    }
}

void TEventHandler::RunHandler(TEventRecord& Record) {
    // Runs on the GUI thread, where components are destroyed: a sender destroyed before this
    // point has discarded the record.
    TNotifyEvent handler;
    {
        std::lock_guard guard(FQueueLock);
        if (Record.Discarded)
            return;
        if (Record.Kind == TEventKind::Done) {
            if (!Record.Worker->NotifyDone())
                return;
            handler = static_cast<TAudioOutput*>(Record.Sender)->OnDone.Get();
        } else {
            handler = std::move(Record.Handler);
        }
    }
    if (!handler)
        return;
    try {
        handler(Record.Sender);
    } catch (const std::exception& error) {
        ReportHandlerFailure(error.what());
    } catch (...) {
        ReportHandlerFailure("Unknown failure in an event handler");
    }
}

void AcquireEventThread() {
    SharedEventThread& shared = Shared();
    std::lock_guard guard(shared.Lock);
    if (shared.Users == 0) {
        shared.Thread = std::make_shared<TEventHandler>();
    }
    ++shared.Users;
}

void ReleaseEventThread() {
    SharedEventThread& shared = Shared();
    std::shared_ptr<TEventHandler> ending;
    {
        std::lock_guard guard(shared.Lock);
        if (shared.Users == 0)
            return;
        if (--shared.Users == 0)
            ending = std::move(shared.Thread);
    }
    // Ended here, on the releasing thread, even if a poster still holds a reference for a moment.
    if (ending)
        ending->Terminate();
}

std::shared_ptr<TEventHandler> EventThread() {
    SharedEventThread& shared = Shared();
    std::lock_guard guard(shared.Lock);
    return shared.Thread;
}

void PostEvent(TComponent* Sender, const TNotifyEvent& Handler) {
    if (!Handler)
        return;
    if (std::shared_ptr<TEventHandler> events = EventThread())
        events->PostEvent(Sender, Handler);
}

void PostEvent(TComponent* Sender, const TEventSlot& Handler) {
    if (Handler.Assigned())
        PostEvent(Sender, Handler.Get());
}

void DiscardEventsOf(TComponent* Sender) {
    if (std::shared_ptr<TEventHandler> events = EventThread())
        events->RemoveEventsOf(Sender);
}

void SetHandlerFailureReporter(std::function<void(const std::string& Message)> Reporter) {
    FailureReporter& reporter = audio::Reporter();
    std::lock_guard guard(reporter.Lock);
    reporter.Report = std::move(Reporter);
}

void ReportHandlerFailure(const std::string& Message) {
    std::function<void(const std::string&)> report;
    {
        FailureReporter& reporter = Reporter();
        std::lock_guard guard(reporter.Lock);
        report = reporter.Report;
    }
    if (report)
        report(Message);
    else
        std::fprintf(stderr, "Audio event handler failed: %s\n", Message.c_str());
}

} // namespace audio
