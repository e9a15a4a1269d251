// Playback of a looping ring on a sink of the sound server.
#pragma once

#include "platform/PlaybackDevice.h"
#include "platform/pulse/PulseConnection.h"

#include <optional>
#include <string>

namespace platform::pulse {

class PulsePlaybackDevice final : public PlaybackDevice {
public:
    // `sink` is the server's name of the sink, or nothing for the default one.
    PulsePlaybackDevice(std::shared_ptr<PulseConnection> connection,
                        std::optional<std::string> sink)
        : connection_(std::move(connection)), sink_(std::move(sink)) {}

    SoundResult CreatePrimaryBuffer(std::unique_ptr<PrimaryPlaybackBuffer>* buffer) override;
    SoundResult CreateSecondaryBuffer(const WaveFormat& format, std::uint32_t ringBytes,
                                      std::unique_ptr<PlaybackBuffer>* buffer) override;

private:
    std::shared_ptr<PulseConnection> connection_;
    std::optional<std::string> sink_;
};

} // namespace platform::pulse
