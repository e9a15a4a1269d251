// For the playback tests: a sync callback that records its calls, and an optional action to run
// inside the call (on the playback thread).
#pragma once

#include "platform/Playback.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::player::testing {

class EndRecorder {
public:
    struct Call {
        HSYNC Sync;
        DWORD Channel;
        DWORD Data;
        std::thread::id Thread;
        std::chrono::steady_clock::time_point When;
    };

    // Pass as the callback with `this` as the user value.
    static void Proc(HSYNC sync, DWORD channel, DWORD data, void* user) {
        auto& recorder = *static_cast<EndRecorder*>(user);
        std::function<void(HSYNC, DWORD)> action;
        {
            std::lock_guard lock(recorder.mutex_);
            action = recorder.action_;
        }
        if (action)
            action(sync, channel);
        std::lock_guard lock(recorder.mutex_);
        recorder.calls_.push_back(
            {sync, channel, data, std::this_thread::get_id(), std::chrono::steady_clock::now()});
        recorder.called_.notify_all();
    }

    void OnCall(std::function<void(HSYNC, DWORD)> action) {
        std::lock_guard lock(mutex_);
        action_ = std::move(action);
    }

    // Waits until at least `count` calls have been made; false after `timeout`.
    bool WaitFor(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        std::unique_lock lock(mutex_);
        return called_.wait_for(lock, timeout, [&] { return calls_.size() >= count; });
    }

    std::vector<Call> Calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }

private:
    std::mutex mutex_;
    std::condition_variable called_;
    std::vector<Call> calls_;
    std::function<void(HSYNC, DWORD)> action_;
};

} // namespace platform::player::testing
