// A sound playback device with looping playback rings, for playing captured sound back as it
// arrives. The layer's own thread plays the ring from the play cursor on; the writer keeps the
// bytes ahead of it filled.
#pragma once

#include "platform/SoundTypes.h"

#include <memory>

namespace platform {

class PlaybackBuffer {
public:
    virtual ~PlaybackBuffer() = default;
    // The offset up to which the ring has been handed to the server, and the first offset that is
    // safe to write (the same here).
    virtual SoundResult GetCurrentPosition(std::uint32_t* playCursor,
                                           std::uint32_t* writeCursor) = 0;
    virtual SoundResult SetCurrentPosition(std::uint32_t offset) = 0;
    // As CaptureBuffer::Lock: the layer's thread does not read the ring until Unlock.
    virtual SoundResult Lock(std::uint32_t offset, std::uint32_t bytes, LockedRegion* region) = 0;
    virtual SoundResult Unlock(const LockedRegion& region) = 0;
    // `looping` must be true.
    virtual SoundResult Play(bool looping) = 0;
    virtual SoundResult Stop() = 0;
};

// The device's own output format. Kept for the playback code's sequence; the sound server mixes
// every stream itself, so this only checks the format.
class PrimaryPlaybackBuffer {
public:
    virtual ~PrimaryPlaybackBuffer() = default;
    virtual SoundResult SetFormat(const WaveFormat& format) = 0;
};

class PlaybackDevice {
public:
    virtual ~PlaybackDevice() = default;
    virtual SoundResult CreatePrimaryBuffer(std::unique_ptr<PrimaryPlaybackBuffer>* buffer) = 0;
    virtual SoundResult CreateSecondaryBuffer(const WaveFormat& format, std::uint32_t ringBytes,
                                              std::unique_ptr<PlaybackBuffer>* buffer) = 0;
};

} // namespace platform
