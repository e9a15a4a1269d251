#include "platform/pulse/PulsePlayback.h"

#include "platform/pulse/PulseStream.h"
#include "platform/pulse/SoundRing.h"

#include <algorithm>

namespace platform::pulse {
namespace {

class PulsePrimaryBuffer final : public PrimaryPlaybackBuffer {
public:
    SoundResult SetFormat(const WaveFormat& format) override {
        pa_sample_spec spec{};
        return SampleSpecFor(format, &spec);
    }
};

class PulseSecondaryBuffer final : public PlaybackBuffer {
public:
    PulseSecondaryBuffer(std::uint32_t ringBytes) : ring_(ringBytes) {}

    SoundResult Connect(std::shared_ptr<PulseConnection> connection, const WaveFormat& format,
                        const char* sink) {
        // The server keeps a quarter of the ring queued: the writer has the rest as slack.
        const std::uint32_t chunk = std::max<std::uint32_t>(
            format.blockAlign, ring_.Size() / 4 / format.blockAlign * format.blockAlign);
        // The ring never ends: it always fills what the server asks for.
        PulseStream::Playback playback;
        playback.fill = [this](void* data, std::size_t bytes) {
            ring_.Drain(data, bytes);
            return bytes;
        };
        return PulseStream::OpenPlayback(std::move(connection), format, sink, chunk,
                                         std::move(playback), &stream_);
    }

    SoundResult GetCurrentPosition(std::uint32_t* playCursor, std::uint32_t* writeCursor) override {
        if (stream_->Broken())
            return DSERR_NODRIVER;
        const std::uint32_t position = ring_.Cursor();
        if (playCursor)
            *playCursor = position;
        if (writeCursor)
            *writeCursor = position;
        return DS_OK;
    }
    SoundResult SetCurrentPosition(std::uint32_t offset) override {
        if (offset >= ring_.Size())
            return DSERR_INVALIDPARAM;
        ring_.SetCursor(offset);
        return DS_OK;
    }
    SoundResult Lock(std::uint32_t offset, std::uint32_t bytes, LockedRegion* region) override {
        return ring_.Lock(offset, bytes, region);
    }
    SoundResult Unlock(const LockedRegion& region) override { return ring_.Unlock(region); }

    SoundResult Play(bool looping) override {
        if (!looping)
            return DSERR_INVALIDPARAM;
        return stream_->SetCorked(false);
    }
    SoundResult Stop() override { return stream_->SetCorked(true); }

    ~PulseSecondaryBuffer() override { stream_.reset(); }

private:
    SoundRing ring_;
    std::unique_ptr<PulseStream> stream_;
};

} // namespace

SoundResult
PulsePlaybackDevice::CreatePrimaryBuffer(std::unique_ptr<PrimaryPlaybackBuffer>* buffer) {
    if (!buffer)
        return DSERR_INVALIDPARAM;
    *buffer = std::make_unique<PulsePrimaryBuffer>();
    return DS_OK;
}

SoundResult PulsePlaybackDevice::CreateSecondaryBuffer(const WaveFormat& format,
                                                       std::uint32_t ringBytes,
                                                       std::unique_ptr<PlaybackBuffer>* buffer) {
    if (!buffer || ringBytes == 0 || format.blockAlign == 0 || ringBytes % format.blockAlign != 0)
        return DSERR_INVALIDPARAM;
    auto created = std::make_unique<PulseSecondaryBuffer>(ringBytes);
    if (const SoundResult result =
            created->Connect(connection_, format, sink_ ? sink_->c_str() : nullptr);
        Failed(result))
        return result;
    *buffer = std::move(created);
    return DS_OK;
}

} // namespace platform::pulse
