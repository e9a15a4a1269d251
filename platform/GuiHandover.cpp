#include "platform/GuiHandover.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace platform {
namespace {

struct PendingCall {
    const std::function<void()>* call;
    std::exception_ptr failure;
    bool done = false;
};

struct HandoverQueue {
    std::mutex lock;
    std::condition_variable finished;
    std::deque<PendingCall*> calls;
    std::function<void()> wakeUp;
};

HandoverQueue& Queue() {
    static HandoverQueue queue;
    return queue;
}

// Static initialisation runs on the main thread, which is the GUI thread by default.
std::thread::id guiThreadId = std::this_thread::get_id();
std::mutex guiThreadLock;

} // namespace

void SetGuiThread() {
    std::lock_guard guard(guiThreadLock);
    guiThreadId = std::this_thread::get_id();
}

bool IsGuiThread() {
    std::lock_guard guard(guiThreadLock);
    return guiThreadId == std::this_thread::get_id();
}

void Synchronize(const std::function<void()>& call) {
    if (IsGuiThread()) {
        call();
        return;
    }
    HandoverQueue& queue = Queue();
    PendingCall pending{&call, nullptr};
    std::function<void()> wakeUp;
    {
        std::lock_guard guard(queue.lock);
        queue.calls.push_back(&pending);
        wakeUp = queue.wakeUp;
    }
    if (wakeUp)
        wakeUp();
    std::unique_lock guard(queue.lock);
    queue.finished.wait(guard, [&] { return pending.done; });
    if (pending.failure)
        std::rethrow_exception(pending.failure);
}

bool CheckSynchronize() {
    HandoverQueue& queue = Queue();
    bool ranAny = false;
    for (;;) {
        PendingCall* pending;
        {
            std::lock_guard guard(queue.lock);
            if (queue.calls.empty())
                return ranAny;
            pending = queue.calls.front();
            queue.calls.pop_front();
        }
        try {
            (*pending->call)();
        } catch (...) {
            pending->failure = std::current_exception();
        }
        ranAny = true;
        {
            std::lock_guard guard(queue.lock);
            pending->done = true;
        }
        queue.finished.notify_all();
    }
}

void SetHandoverWakeUp(std::function<void()> wakeUp) {
    HandoverQueue& queue = Queue();
    std::lock_guard guard(queue.lock);
    queue.wakeUp = std::move(wakeUp);
}

void WaitRunningHandovers(std::unique_lock<std::mutex>& lock, std::condition_variable& changed,
                          const std::function<bool()>& done) {
    if (!IsGuiThread()) {
        changed.wait(lock, done);
        return;
    }
    while (!done()) {
        lock.unlock();
        const bool ranAny = CheckSynchronize();
        lock.lock();
        if (!ranAny && !done())
            changed.wait_for(lock, std::chrono::milliseconds(1), done);
    }
}

} // namespace platform
