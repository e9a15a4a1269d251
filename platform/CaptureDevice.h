// A sound capture device with a looping capture ring, filled as the sound arrives: by the sound
// layer's own thread, and at the latest when the reader asks for the position. The reader polls
// the capture position and copies what has arrived; the layer never waits for the reader, so bytes
// not copied within one ring are overwritten.
#pragma once

#include "platform/SoundTypes.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace platform {

class CaptureBuffer {
public:
    virtual ~CaptureBuffer() = default;
    // Starts or resumes filling the ring; `looping` must be true (the ring always wraps).
    virtual SoundResult Start(bool looping) = 0;
    virtual SoundResult Stop() = 0;
    // The offset in the ring where the next captured byte will land, and the offset up to which
    // bytes may be read (the same here: whatever the layer holds is complete).
    // AUDCLNT_E_DEVICE_INVALIDATED once the device has gone from under the running capture (or
    // been replaced by another one); DSERR_NODRIVER once the sound system itself is gone.
    virtual SoundResult GetCurrentPosition(std::uint32_t* capturePosition,
                                           std::uint32_t* readPosition) = 0;
    // Hands out `bytes` of the ring from `offset` in at most two parts. Until Unlock, the layer's
    // thread does not write into the ring, so the region can be copied whole.
    virtual SoundResult Lock(std::uint32_t offset, std::uint32_t bytes, LockedRegion* region) = 0;
    virtual SoundResult Unlock(const LockedRegion& region) = 0;
    // Whether more than a ring was captured since the reader last took what was waiting, so that
    // bytes it never took were overwritten. Empty when the layer cannot count what it captured:
    // the reader then judges from the clock, assuming the device delivers in real time, which a
    // server that delivers in bursts does not.
    virtual std::optional<bool> Overran() { return std::nullopt; }
    // Bytes of sound lost since the buffer was made, counted where they were lost: overwritten in
    // the ring before the reader took them, or never delivered by the sound server (a hole in its
    // data). Empty when the layer cannot count them.
    virtual std::optional<std::uint64_t> LostBytes() { return std::nullopt; }
    // Called, on whatever thread found it (often the layer's own), each time LostBytes grows, so
    // that a loss is told while it happens, not when the reader next looks. Set before Start.
    virtual void SetLossHandler(std::function<void()> handler) { (void)handler; }
    // Returns once at least `bytes` wait to be read, or once `limit` has passed, whichever comes
    // first; early also when the capture stops or fails. The reader thus wakes when there is
    // sound to take, not on a clock. False, at once, from a layer that cannot tell when sound
    // arrives: its reader polls.
    virtual bool WaitForCaptured(std::uint32_t bytes, std::chrono::milliseconds limit) {
        (void)bytes;
        (void)limit;
        return false;
    }
};

class CaptureDevice {
public:
    virtual ~CaptureDevice() = default;
    // A ring of exactly `ringBytes` (a whole number of frames) holding `format`.
    virtual SoundResult CreateCaptureBuffer(const WaveFormat& format, std::uint32_t ringBytes,
                                            std::unique_ptr<CaptureBuffer>* buffer) = 0;
};

} // namespace platform
