#include "platform/pulse/PulseStream.h"

namespace platform::pulse {

SoundResult SampleSpecFor(const WaveFormat& format, pa_sample_spec* spec) {
    if (format.formatTag != 1)
        return DSERR_BADFORMAT;
    switch (format.bitsPerSample) {
    case 8:
        spec->format = PA_SAMPLE_U8;
        break;
    case 16:
        spec->format = PA_SAMPLE_S16LE;
        break;
    case 24:
        spec->format = PA_SAMPLE_S24LE;
        break;
    case 32:
        spec->format = PA_SAMPLE_S32LE;
        break;
    default:
        return DSERR_BADFORMAT;
    }
    spec->channels = static_cast<std::uint8_t>(format.channels);
    spec->rate = format.samplesPerSec;
    if (format.channels == 0 || format.channels > PA_CHANNELS_MAX || !pa_sample_spec_valid(spec))
        return DSERR_BADFORMAT;
    const std::uint32_t frame = format.bitsPerSample / 8u * format.channels;
    if (format.blockAlign != frame || format.avgBytesPerSec != frame * format.samplesPerSec)
        return DSERR_INVALIDPARAM;
    return DS_OK;
}

SoundResult PulseStream::Open(std::shared_ptr<PulseConnection> connection, Direction direction,
                              const WaveFormat& format, const char* device,
                              std::uint32_t chunkBytes, pa_stream_request_cb_t dataCallback,
                              void* callbackData, std::unique_ptr<PulseStream>* stream) {
    pa_sample_spec spec{};
    if (const SoundResult result = SampleSpecFor(format, &spec); Failed(result))
        return result;
    std::unique_ptr<PulseStream> result(new PulseStream(std::move(connection)));
    PulseConnection& link = *result->connection_;
    PulseConnection::LoopLock lock(link);
    const bool record = direction == Direction::Record;
    result->stream_ = pa_stream_new(link.Context(), record ? "Capture" : "Echo", &spec, nullptr);
    if (!result->stream_)
        return DSERR_GENERIC;
    pa_stream_set_state_callback(result->stream_, StateChanged, result.get());
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.tlength = record ? static_cast<std::uint32_t>(-1) : chunkBytes;
    attributes.fragsize = record ? chunkBytes : static_cast<std::uint32_t>(-1);
    const auto flags =
        static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY);
    int connected;
    if (record) {
        pa_stream_set_read_callback(result->stream_, dataCallback, callbackData);
        connected = pa_stream_connect_record(result->stream_, device, &attributes, flags);
    } else {
        pa_stream_set_write_callback(result->stream_, dataCallback, callbackData);
        connected = pa_stream_connect_playback(result->stream_, device, &attributes, flags, nullptr,
                                               nullptr);
    }
    if (connected < 0)
        return DSERR_NODRIVER;
    pa_stream* raw = result->stream_;
    const bool settled = link.WaitUntil([raw] {
        const pa_stream_state_t state = pa_stream_get_state(raw);
        return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
    });
    if (!settled || pa_stream_get_state(raw) != PA_STREAM_READY)
        return DSERR_NODRIVER;
    *stream = std::move(result);
    return DS_OK;
}

PulseStream::~PulseStream() {
    if (!stream_)
        return;
    PulseConnection::LoopLock lock(*connection_);
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_read_callback(stream_, nullptr, nullptr);
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)))
        pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
}

SoundResult PulseStream::SetCorked(bool corked) {
    PulseConnection::LoopLock lock(*connection_);
    if (Broken())
        return DSERR_NODRIVER;
    if (!connection_->Complete(
            pa_stream_cork(stream_, corked ? 1 : 0, SignalLoop, connection_.get())))
        return Broken() ? DSERR_NODRIVER : DSERR_GENERIC;
    return DS_OK;
}

void PulseStream::StateChanged(pa_stream* stream, void* self) {
    auto* owner = static_cast<PulseStream*>(self);
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)))
        owner->broken_.store(true, std::memory_order_release);
    owner->connection_->Signal();
}

} // namespace platform::pulse
