// Waiting on a condition while keeping GUI hand-overs flowing. A GUI thread that blocked plainly
// here would deadlock with a worker or the event thread waiting for it in a hand-over.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace audio {

// Re-checks at least every millisecond on the GUI thread, running the pending hand-overs between
// checks (with Lock released); elsewhere waits on Changed alone.
void WaitRunningHandovers(std::unique_lock<std::mutex>& Lock, std::condition_variable& Changed,
                          const std::function<bool()>& Done);

} // namespace audio
