#include "platform/player/PulseLoop.h"

#include "platform/GuiHandover.h"
#include "platform/Playback.h"
#include "platform/player/PlaybackError.h"

#include <chrono>
#include <poll.h>
#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/mainloop.h>

namespace platform::player {

namespace {

// A server that accepts the connection but never answers must not hang the program's start.
constexpr auto ConnectTimeout = std::chrono::seconds(10);

bool IsSettled(int state) {
    return state == PA_CONTEXT_READY || state == PA_CONTEXT_FAILED ||
           state == PA_CONTEXT_TERMINATED;
}

} // namespace

PulseLoop::PulseLoop(AfterEvents afterEvents, ConnectionLost connectionLost)
    : afterEvents_(std::move(afterEvents)), connectionLost_(std::move(connectionLost)) {
    mainloop_ = pa_mainloop_new();
    if (!mainloop_)
        throw PlaybackError(BASS_ERROR_MEM, "The sound server's event loop cannot be created.");
    pa_mainloop_set_poll_func(mainloop_, PollUnlocked, this);
    context_ = pa_context_new(pa_mainloop_get_api(mainloop_), "Interview station playback");
    if (!context_) {
        Release();
        throw PlaybackError(BASS_ERROR_MEM, "The sound server's context cannot be created.");
    }
    pa_context_set_state_callback(context_, OnContextState, this);
    // No autospawn: a missing server is reported, not silently started behind the operator.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        const std::string reason = pa_strerror(pa_context_errno(context_));
        Release();
        throw PlaybackError(BASS_ERROR_DRIVER, "Cannot connect to the sound server: " + reason);
    }
    thread_ = std::thread([this] { Run(); });

    std::unique_lock lock(mutex_);
    stateChanged_.wait_for(lock, ConnectTimeout, [this] { return IsSettled(contextState_); });
    if (contextState_ == PA_CONTEXT_READY)
        return;
    const std::string reason = contextState_ == PA_CONTEXT_FAILED
                                   ? pa_strerror(pa_context_errno(context_))
                                   : "no answer from the server";
    lock.unlock();
    Stop();
    Release();
    throw PlaybackError(BASS_ERROR_DRIVER, "Cannot connect to the sound server: " + reason);
}

PulseLoop::~PulseLoop() {
    Stop();
    Release();
}

bool PulseLoop::IsReady() const {
    return contextState_ == PA_CONTEXT_READY;
}

void PulseLoop::Wake() {
    pa_mainloop_wakeup(mainloop_);
}

void PulseLoop::Stop() {
    std::unique_lock lock(mutex_);
    if (!thread_.joinable())
        return;
    quit_ = true;
    pa_mainloop_wakeup(mainloop_);
    WaitRunningHandovers(lock, stateChanged_, [this] { return ended_; });
    lock.unlock();
    thread_.join();
}

void PulseLoop::Run() {
    std::unique_lock lock(mutex_);
    runLock_ = &lock;
    while (!quit_) {
        if (pa_mainloop_iterate(mainloop_, 1, nullptr) < 0)
            break;
        if (!quit_)
            afterEvents_(lock);
    }
    runLock_ = nullptr;
    ended_ = true;
    stateChanged_.notify_all();
}

int PulseLoop::PollUnlocked(::pollfd* fds, unsigned long count, int timeout, void* self) {
    auto& lock = *static_cast<PulseLoop*>(self)->runLock_;
    lock.unlock();
    const int result = ::poll(fds, count, timeout);
    lock.lock();
    return result;
}

void PulseLoop::OnContextState(pa_context* context, void* self) {
    auto& loop = *static_cast<PulseLoop*>(self);
    loop.contextState_ = pa_context_get_state(context);
    loop.stateChanged_.notify_all();
    if (loop.contextState_ == PA_CONTEXT_READY)
        loop.wasReady_ = true;
    else if (loop.wasReady_ && IsSettled(loop.contextState_))
        loop.connectionLost_();
}

void PulseLoop::Release() {
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    if (mainloop_) {
        pa_mainloop_free(mainloop_);
        mainloop_ = nullptr;
    }
}

} // namespace platform::player
