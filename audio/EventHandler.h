// Delivery of component events to the GUI thread. Events are queued into one event thread shared
// by all outputs of the process; it hands them one at a time to the GUI thread and waits for each.
#pragma once

#include "audio/EventSlot.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace audio {

class TAudioOutput;
class TAudioThread;
class TComponent;

class TEventHandler {
public:
    TEventHandler();
    // Ends the thread (running GUI hand-overs while waiting on the GUI thread); queued events are
    // discarded.
    ~TEventHandler();
    TEventHandler(const TEventHandler&) = delete;
    // Ends the thread and waits for it; later posts are dropped.
    void Terminate();
    TEventHandler& operator=(const TEventHandler&) = delete;

    // May be called from any thread. Events of a blocked sender are dropped.
    void PostProgress(TAudioOutput* Output, const TNotifyEvent& Handler);
    // The output's OnDone is looked up at delivery, after pass `Pass` of Worker has completely
    // ended, and only when the worker's NotifyDone is set.
    void PostDone(TAudioOutput* Output, TAudioThread* Worker, std::uint64_t Pass);
    void PostEvent(TComponent* Sender, const TNotifyEvent& Handler);

    // Blocks may nest (one per synchronous stop in progress); each BlockSender is undone by one
    // UnblockSender.
    void BlockSender(TComponent* Sender);
    void UnblockSender(TComponent* Sender);
    // Discards the queued events of Sender, and the one being delivered if it has not run yet.
    void RemoveEventsOf(TComponent* Sender);

private:
    enum class TEventKind : std::uint8_t { Progress = 0, Done = 1, Component = 2 };
    struct TEventRecord {
        TEventKind Kind;
        TComponent* Sender;
        TNotifyEvent Handler;
        TAudioThread* Worker;
        std::uint64_t Pass;
        bool Discarded;
    };

    void Post(TEventRecord Record);
    std::unique_ptr<TEventRecord> TakeFirst();
    void Execute();
    void DeliverDone(TEventRecord& Record);
    void Deliver(TEventRecord& Record);
    void RunHandler(TEventRecord& Record);
    bool IsBlocked(TComponent* Sender) const;

    mutable std::mutex FQueueLock;
    std::condition_variable FQueueSignal;
    bool FTerminated = false;
    bool FEnded = false;
    std::deque<std::unique_ptr<TEventRecord>> FQueue;
    TEventRecord* FCurrentEvent = nullptr;
    std::vector<TComponent*> FBlockedSenders;
    std::thread FThread;
};

// The shared event thread: created by the first AcquireEventThread, ended by the
// ReleaseEventThread that drops the last reference. Every output holds one reference.
void AcquireEventThread();
void ReleaseEventThread();
// The current event thread (nothing when no output exists).
std::shared_ptr<TEventHandler> EventThread();

// Queue a component's own event on the current event thread (dropped when none exists or when
// no handler is assigned). Any thread.
void PostEvent(TComponent* Sender, const TNotifyEvent& Handler);
void PostEvent(TComponent* Sender, const TEventSlot& Handler);

// Drops every queued event of Sender; components call it when destroyed.
void DiscardEventsOf(TComponent* Sender);

// An exception escaping an event handler or OnSyncDone does not end the thread that called it; it
// is passed here (text of the failure). The default writes it to the standard error stream.
void SetHandlerFailureReporter(std::function<void(const std::string& Message)> Reporter);
void ReportHandlerFailure(const std::string& Message);

} // namespace audio
