#include "platform/pulse/PulseConnection.h"

namespace platform::pulse {
namespace {

void ContextStateChanged(pa_context*, void* connection) {
    static_cast<PulseConnection*>(connection)->Signal();
}

void TimerFired(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* loop) {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}

} // namespace

void SignalLoop(pa_stream*, int, void* connection) {
    static_cast<PulseConnection*>(connection)->Signal();
}

SoundResult PulseConnection::Open(std::shared_ptr<PulseConnection>* connection) {
    std::shared_ptr<PulseConnection> result(new PulseConnection());
    result->loop_ = pa_threaded_mainloop_new();
    if (!result->loop_)
        return DSERR_GENERIC;
    pa_threaded_mainloop_set_name(result->loop_, "sound-client");
    result->context_ =
        pa_context_new(pa_threaded_mainloop_get_api(result->loop_), "Interview station");
    if (!result->context_)
        return DSERR_GENERIC;
    pa_context_set_state_callback(result->context_, ContextStateChanged, result.get());
    if (pa_threaded_mainloop_start(result->loop_) < 0)
        return DSERR_GENERIC;

    LoopLock lock(*result);
    if (pa_context_connect(result->context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return DSERR_NODRIVER;
    const bool settled = result->WaitUntil([context = result->context_] {
        const pa_context_state_t state = pa_context_get_state(context);
        return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
    });
    if (!settled || pa_context_get_state(result->context_) != PA_CONTEXT_READY)
        return DSERR_NODRIVER;
    *connection = std::move(result);
    return DS_OK;
}

PulseConnection::~PulseConnection() {
    if (context_) {
        {
            LoopLock lock(*this);
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
        }
        // Stopping the loop joins its thread, so no callback runs after this.
        pa_threaded_mainloop_stop(loop_);
        pa_context_unref(context_);
    } else if (loop_) {
        pa_threaded_mainloop_stop(loop_);
    }
    if (loop_)
        pa_threaded_mainloop_free(loop_);
}

bool PulseConnection::WaitUntil(const std::function<bool()>& done,
                                std::chrono::milliseconds timeout) {
    if (done())
        return true;
    // A timer on the loop wakes the wait even when the server never answers.
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    timeval when{};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, static_cast<pa_usec_t>(timeout.count()) * PA_USEC_PER_MSEC);
    pa_time_event* timer = api->time_new(api, &when, TimerFired, loop_);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        pa_threaded_mainloop_wait(loop_);
    api->time_free(timer);
    return done();
}

bool PulseConnection::Complete(pa_operation* operation) {
    if (!operation)
        return false;
    const bool finished = WaitUntil(
        [operation] { return pa_operation_get_state(operation) != PA_OPERATION_RUNNING; });
    if (!finished)
        pa_operation_cancel(operation);
    const bool done = pa_operation_get_state(operation) == PA_OPERATION_DONE;
    pa_operation_unref(operation);
    return done;
}

LoopTimer::LoopTimer(std::shared_ptr<PulseConnection> connection, std::chrono::microseconds period,
                     std::function<void()> tick)
    : connection_(std::move(connection)), period_(static_cast<pa_usec_t>(period.count())),
      tick_(std::move(tick)) {
    PulseConnection::LoopLock lock(*connection_);
    event_ = pa_context_rttime_new(connection_->Context(), pa_rtclock_now() + period_, Fired, this);
}

LoopTimer::~LoopTimer() {
    if (!event_)
        return;
    PulseConnection::LoopLock lock(*connection_);
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(connection_->Loop());
    api->time_free(event_);
}

void LoopTimer::Fired(pa_mainloop_api*, pa_time_event* event, const struct timeval*, void* self) {
    auto* timer = static_cast<LoopTimer*>(self);
    timer->tick_();
    pa_context_rttime_restart(timer->connection_->Context(), event,
                              pa_rtclock_now() + timer->period_);
}

} // namespace platform::pulse
