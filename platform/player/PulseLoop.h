// One connection to the sound server with a thread of its own that runs the server's event loop.
// Every server object of the connection is guarded by Mutex(): the loop thread holds it except
// while it waits for events and while it runs AfterEvents' unlocked work, and any other thread may
// lock it and use the server objects directly (the loop is woken to notice the change).
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

struct pa_context;
struct pa_mainloop;
struct pa_mainloop_api;
struct pollfd;

namespace platform::player {

class PulseLoop {
public:
    // Called on the loop thread after each round of events, with the lock held; it may unlock to
    // call out, and must return with the lock held.
    using AfterEvents = std::function<void(std::unique_lock<std::mutex>&)>;
    // Called on the loop thread, locked, when the connection fails after it was ready.
    using ConnectionLost = std::function<void()>;

    // Connects to the default server and waits until the connection is ready. Raises PlaybackError
    // BASS_ERROR_DRIVER (with the server's reason) when it cannot be made.
    PulseLoop(AfterEvents afterEvents, ConnectionLost connectionLost);
    PulseLoop(const PulseLoop&) = delete;
    PulseLoop& operator=(const PulseLoop&) = delete;
    // Ends the loop thread (see Stop) and disconnects.
    ~PulseLoop();

    std::mutex& Mutex() { return mutex_; }
    // Locked: the connection is usable.
    bool IsReady() const;
    // Locked: the context to create streams on.
    pa_context* Context() const { return context_; }
    // Makes the loop thread run AfterEvents soon. Locked.
    void Wake();
    bool IsLoopThread() const { return std::this_thread::get_id() == thread_.get_id(); }
    // Ends the loop thread after its current round; returns once it has ended. Unlocked, never on
    // the loop thread. On the GUI thread it runs GUI hand-overs while it waits, since work that the
    // loop thread is running may be waiting for the GUI thread.
    void Stop();

private:
    static int PollUnlocked(::pollfd* fds, unsigned long count, int timeout, void* self);
    static void OnContextState(pa_context* context, void* self);
    void Run();
    void Release();

    AfterEvents afterEvents_;
    ConnectionLost connectionLost_;
    mutable std::mutex mutex_;
    std::condition_variable stateChanged_;
    std::unique_lock<std::mutex>* runLock_ = nullptr;
    pa_mainloop* mainloop_ = nullptr;
    pa_context* context_ = nullptr;
    int contextState_ = 0;
    bool wasReady_ = false;
    bool quit_ = false;
    bool ended_ = false;
    std::thread thread_;
};

} // namespace platform::player
