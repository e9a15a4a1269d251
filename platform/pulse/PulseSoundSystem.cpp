// The sound layer over the PulseAudio client library (also served by PipeWire's pulse server).
#include "platform/SoundSystem.h"

#include "platform/pulse/PulseCapture.h"
#include "platform/pulse/PulsePlayback.h"
#include "platform/pulse/PulseSources.h"

namespace platform {
namespace {

class PulseSoundSystem final : public SoundSystem {
public:
    SoundResult EnumerateCaptureDevices(const DeviceCallback& callback) override {
        std::shared_ptr<pulse::PulseConnection> connection;
        if (const SoundResult result = pulse::PulseConnection::Open(&connection); Failed(result))
            return result;
        pulse::CaptureSources list;
        if (const SoundResult result = pulse::ListCaptureSources(*connection, &list);
            Failed(result))
            return result;
        // Without a single real source there is nothing to record from, not even by default.
        if (list.sources.empty())
            return DS_OK;
        const std::string defaultDescription = list.defaultDescription.empty()
                                                   ? std::string("Default capture device")
                                                   : list.defaultDescription;
        if (!callback(nullptr, defaultDescription.c_str()))
            return DS_OK;
        for (const pulse::SourceEntry& source : list.sources) {
            const SoundDeviceId id = pulse::DeviceIdFromName(source.name);
            if (!callback(&id, source.description.c_str()))
                break;
        }
        return DS_OK;
    }

    SoundResult CreateCaptureDevice(const SoundDeviceId& id,
                                    std::unique_ptr<CaptureDevice>* device) override {
        std::shared_ptr<pulse::PulseConnection> connection;
        std::optional<std::string> source;
        if (const SoundResult result = Resolve(id, &connection, &source); Failed(result))
            return result;
        *device =
            std::make_unique<pulse::PulseCaptureDevice>(std::move(connection), std::move(source));
        return DS_OK;
    }

    SoundResult CreatePlaybackDevice(const SoundDeviceId& id,
                                     std::unique_ptr<PlaybackDevice>* device) override {
        // Only the default device plays: a capture device's identifier names no sink.
        if (id != DefaultSoundDevice)
            return DSERR_NODRIVER;
        std::shared_ptr<pulse::PulseConnection> connection;
        if (const SoundResult result = pulse::PulseConnection::Open(&connection); Failed(result))
            return result;
        *device = std::make_unique<pulse::PulsePlaybackDevice>(std::move(connection), std::nullopt);
        return DS_OK;
    }

private:
    // Connects and finds the source that `id` names; the default device needs no name.
    static SoundResult Resolve(const SoundDeviceId& id,
                               std::shared_ptr<pulse::PulseConnection>* connection,
                               std::optional<std::string>* source) {
        if (const SoundResult result = pulse::PulseConnection::Open(connection); Failed(result))
            return result;
        if (id == DefaultSoundDevice)
            return DS_OK;
        pulse::CaptureSources list;
        if (const SoundResult result = pulse::ListCaptureSources(**connection, &list);
            Failed(result))
            return result;
        for (const pulse::SourceEntry& entry : list.sources) {
            if (pulse::DeviceIdFromName(entry.name) == id) {
                *source = entry.name;
                return DS_OK;
            }
        }
        return DSERR_NODRIVER;
    }
};

} // namespace

SoundSystem& DefaultSoundSystem() {
    static PulseSoundSystem system;
    return system;
}

} // namespace platform
