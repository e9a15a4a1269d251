// Hand-over of calls to the GUI thread.
//
// Worker threads must never touch GUI state themselves; they queue a call here and wait until the
// GUI thread has run it. The GUI thread drains the queue from its event loop (the Qt pump installs
// a wake-up that posts an event) and, separately, from wait loops that must keep hand-overs flowing
// while they block the event loop (a synchronous stop of an audio output). Only this queue is
// drained there, never other GUI events.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>

namespace platform {

// Marks the calling thread as the GUI thread. The process's main thread is the GUI thread until
// this is called.
void SetGuiThread();
bool IsGuiThread();

// Runs `call` on the GUI thread and returns once it has run. An exception thrown by `call` is
// rethrown here. Called on the GUI thread itself, it runs `call` at once.
void Synchronize(const std::function<void()>& call);

// Runs every hand-over queued so far, in order; returns whether any ran. GUI thread only.
bool CheckSynchronize();

// Called (from the queuing thread) after each hand-over is queued; the GUI event loop uses it to
// wake up and call CheckSynchronize. Pass an empty function to remove it.
void SetHandoverWakeUp(std::function<void()> wakeUp);

// Waits on `changed` until `done` holds. On the GUI thread the hand-overs keep flowing meanwhile
// (run with `lock` released, re-checking at least every millisecond): a GUI thread that blocked
// plainly would deadlock with a thread waiting for it in a hand-over. Elsewhere it is a plain wait.
void WaitRunningHandovers(std::unique_lock<std::mutex>& lock, std::condition_variable& changed,
                          const std::function<bool()>& done);

} // namespace platform
