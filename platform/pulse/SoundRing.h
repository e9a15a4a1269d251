// The looping ring shared by the client library's thread and the reader or writer of a sound
// buffer. The client thread moves the cursor; the other side locks a region, copies it and
// unlocks, and the client thread waits meanwhile so that a locked region is never torn.
#pragma once

#include "platform/SoundTypes.h"

#include <atomic>
#include <cstddef>
#include <mutex>
#include <vector>

namespace platform::pulse {

class SoundRing {
public:
    explicit SoundRing(std::uint32_t bytes) : data_(bytes) {}

    std::uint32_t Size() const { return static_cast<std::uint32_t>(data_.size()); }
    std::uint32_t Cursor() const { return cursor_.load(std::memory_order_acquire); }
    void SetCursor(std::uint32_t offset);

    // The other side: at most two parts covering `bytes` from `offset`. Only one region may be
    // locked at a time, and Lock and Unlock come from the same thread.
    SoundResult Lock(std::uint32_t offset, std::uint32_t bytes, LockedRegion* region);
    SoundResult Unlock(const LockedRegion& region);
    // The locking side: whether it holds a region now.
    bool HeldByReader() const { return locked_; }
    // Whether a ring or more was filled since the reader last locked what was waiting (a region
    // ending at the cursor), so that bytes it never read were overwritten.
    bool Overran();
    // Bytes overwritten before the reader took them, since the ring was made: exact, whatever the
    // reader's cadence.
    std::uint64_t Overwritten();
    // Bytes filled and not yet locked by the reader (at most a ring).
    std::uint64_t Unread();

    // The client thread: writes `bytes` at the cursor (zeros when `source` is null) and moves the
    // cursor past them; returns how many unread bytes this overwrote.
    std::uint64_t Fill(const void* source, std::size_t bytes);
    // The client thread: copies `bytes` from the cursor on and moves the cursor past them.
    void Drain(void* destination, std::size_t bytes);

private:
    std::vector<std::uint8_t> data_;
    std::mutex mutex_;
    std::atomic<std::uint32_t> cursor_{0};
    std::uint64_t unread_ = 0;      // filled and not yet locked by the reader; under mutex_
    std::uint64_t overwritten_ = 0; // under mutex_
    bool locked_ = false;           // touched only by the locking side
};

} // namespace platform::pulse
