// One connection to the sound server with its own client thread (a threaded main loop). Every call
// into the client library is made with the loop locked; callbacks run on the loop's thread.
#pragma once

#include "platform/SoundTypes.h"

#include <pulse/pulseaudio.h>

#include <chrono>
#include <functional>
#include <memory>

namespace platform::pulse {

class PulseConnection {
public:
    // Connects to the server that the client library finds (PULSE_SERVER, the session's server).
    // DSERR_NODRIVER when no server answers in time.
    static SoundResult Open(std::shared_ptr<PulseConnection>* connection);

    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;
    ~PulseConnection();

    pa_threaded_mainloop* Loop() const { return loop_; }
    pa_context* Context() const { return context_; }
    // With the loop locked: the connection is still usable (the server has not gone away).
    bool IsReady() const { return pa_context_get_state(context_) == PA_CONTEXT_READY; }

    // Holds the loop's lock for a scope.
    class LoopLock {
    public:
        explicit LoopLock(const PulseConnection& connection) : loop_(connection.loop_) {
            pa_threaded_mainloop_lock(loop_);
        }
        ~LoopLock() { pa_threaded_mainloop_unlock(loop_); }
        LoopLock(const LoopLock&) = delete;
        LoopLock& operator=(const LoopLock&) = delete;

    private:
        pa_threaded_mainloop* loop_;
    };

    // With the loop locked: waits until `done` holds or `timeout` passes; returns `done()`.
    // Callbacks that change what `done` looks at must call Signal.
    bool WaitUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = DefaultTimeout);
    // With the loop locked: waits for an operation to finish (and releases it); false on timeout
    // or when the operation was cancelled.
    bool Complete(pa_operation* operation);
    void Signal() { pa_threaded_mainloop_signal(loop_, 0); }

    // How long the server may take to answer any request.
    static constexpr std::chrono::milliseconds DefaultTimeout{5000};

private:
    PulseConnection() = default;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
};

// A callback on the connection's thread every `period`, from construction to destruction.
class LoopTimer {
public:
    LoopTimer(std::shared_ptr<PulseConnection> connection, std::chrono::microseconds period,
              std::function<void()> tick);
    ~LoopTimer();
    LoopTimer(const LoopTimer&) = delete;
    LoopTimer& operator=(const LoopTimer&) = delete;

private:
    static void Fired(pa_mainloop_api*, pa_time_event* event, const struct timeval*, void* self);
    std::shared_ptr<PulseConnection> connection_;
    pa_usec_t period_;
    std::function<void()> tick_;
    pa_time_event* event_ = nullptr;
};

// The callback shape the client library uses for success notifications, signalling the loop.
void SignalLoop(pa_stream* stream, int success, void* connection);

} // namespace platform::pulse
