// The entry to the sound layer: device enumeration and device creation. The station uses the
// process's default sound system; tests hand their own to the components that take one.
#pragma once

#include "platform/CaptureDevice.h"
#include "platform/PlaybackDevice.h"

#include <functional>
#include <memory>

namespace platform {

class SoundSystem {
public:
    // Called once per device: the default device first with a null identifier, then each device
    // with its own. Returning false ends the enumeration.
    using DeviceCallback = std::function<bool(const SoundDeviceId* id, const char* description)>;

    virtual ~SoundSystem() = default;
    // Reports capture devices; a server that cannot be reached reports none and fails.
    virtual SoundResult EnumerateCaptureDevices(const DeviceCallback& callback) = 0;
    virtual SoundResult CreateCaptureDevice(const SoundDeviceId& id,
                                            std::unique_ptr<CaptureDevice>* device) = 0;
    virtual SoundResult CreatePlaybackDevice(const SoundDeviceId& id,
                                             std::unique_ptr<PlaybackDevice>* device) = 0;
};

// The sound system of the platform's sound server; implemented by the backend linked in.
SoundSystem& DefaultSoundSystem();

} // namespace platform
