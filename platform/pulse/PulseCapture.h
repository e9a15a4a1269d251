// Capture from a source of the sound server into a looping ring.
#pragma once

#include "platform/CaptureDevice.h"
#include "platform/pulse/PulseConnection.h"

#include <optional>
#include <string>

namespace platform::pulse {

class PulseCaptureDevice final : public CaptureDevice {
public:
    // `source` is the server's name of the source, or nothing for the default one.
    PulseCaptureDevice(std::shared_ptr<PulseConnection> connection,
                       std::optional<std::string> source)
        : connection_(std::move(connection)), source_(std::move(source)) {}

    SoundResult CreateCaptureBuffer(const WaveFormat& format, std::uint32_t ringBytes,
                                    std::unique_ptr<CaptureBuffer>* buffer) override;

private:
    std::shared_ptr<PulseConnection> connection_;
    std::optional<std::string> source_;
};

} // namespace platform::pulse
