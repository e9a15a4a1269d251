// The server's capture sources as the sound layer lists them: monitors of playback sinks are left
// out (they would record the station's own output, not a microphone), and each source gets a
// stable 16-byte identifier derived from its name.
#pragma once

#include "platform/SoundTypes.h"
#include "platform/pulse/PulseConnection.h"

#include <string>
#include <vector>

namespace platform::pulse {

struct SourceEntry {
    std::string name;
    std::string description;
};

struct CaptureSources {
    std::string defaultDescription; // of the server's default source, when it has one
    std::vector<SourceEntry> sources;
};

SoundResult ListCaptureSources(PulseConnection& connection, CaptureSources* list);

// Never all zero, which stands for the default device.
SoundDeviceId DeviceIdFromName(const std::string& name);

} // namespace platform::pulse
