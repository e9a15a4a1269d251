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

SoundResult PulseStream::OpenRecord(std::shared_ptr<PulseConnection> connection,
                                    const WaveFormat& format, const char* device,
                                    std::uint32_t chunkBytes, Arrived arrived,
                                    std::unique_ptr<PulseStream>* stream) {
    std::unique_ptr<PulseStream> result(new PulseStream(std::move(connection)));
    result->arrived_ = std::move(arrived);
    if (const SoundResult connected = result->Connect(true, format, device, chunkBytes, true);
        Failed(connected))
        return connected;
    *stream = std::move(result);
    return DS_OK;
}

SoundResult PulseStream::OpenPlayback(std::shared_ptr<PulseConnection> connection,
                                      const WaveFormat& format, const char* device,
                                      std::uint32_t chunkBytes, Playback playback,
                                      std::unique_ptr<PulseStream>* stream) {
    std::unique_ptr<PulseStream> result(new PulseStream(std::move(connection)));
    const bool startCorked = playback.startCorked;
    result->playback_ = std::move(playback);
    if (const SoundResult connected =
            result->Connect(false, format, device, chunkBytes, startCorked);
        Failed(connected))
        return connected;
    *stream = std::move(result);
    return DS_OK;
}

SoundResult PulseStream::Connect(bool record, const WaveFormat& format, const char* device,
                                 std::uint32_t chunkBytes, bool startCorked) {
    pa_sample_spec spec{};
    if (const SoundResult result = SampleSpecFor(format, &spec); Failed(result))
        return result;
    PulseConnection& link = *connection_;
    PulseConnection::LoopLock lock(link);
    if (!link.IsReady())
        return DSERR_NODRIVER;
    stream_ = pa_stream_new(link.Context(), record ? "Capture" : "Playback", &spec, nullptr);
    if (!stream_)
        return DSERR_GENERIC;
    pa_stream_set_state_callback(stream_, StateChanged, this);
    pa_stream_set_moved_callback(stream_, Moved, this);
    pa_stream_set_suspended_callback(stream_, Suspended, this);
    corked_ = startCorked;
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.tlength = record ? static_cast<std::uint32_t>(-1) : chunkBytes;
    attributes.fragsize = record ? chunkBytes : static_cast<std::uint32_t>(-1);
    const auto flags = static_cast<pa_stream_flags_t>((startCorked ? PA_STREAM_START_CORKED : 0) |
                                                      PA_STREAM_ADJUST_LATENCY);
    int connected;
    if (record) {
        pa_stream_set_read_callback(stream_, Readable, this);
        connected = pa_stream_connect_record(stream_, device, &attributes, flags);
    } else {
        pa_stream_set_write_callback(stream_, Writable, this);
        connected =
            pa_stream_connect_playback(stream_, device, &attributes, flags, nullptr, nullptr);
    }
    if (connected < 0)
        return DSERR_NODRIVER;
    pa_stream* raw = stream_;
    const bool settled = link.WaitUntil([raw] {
        const pa_stream_state_t state = pa_stream_get_state(raw);
        return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
    });
    if (!settled || pa_stream_get_state(raw) != PA_STREAM_READY)
        return DSERR_NODRIVER;
    open_ = true;
    return DS_OK;
}

PulseStream::~PulseStream() {
    if (!stream_)
        return;
    PulseConnection::LoopLock lock(*connection_);
    if (drain_) {
        pa_operation_cancel(drain_);
        pa_operation_unref(drain_);
    }
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_moved_callback(stream_, nullptr, nullptr);
    pa_stream_set_suspended_callback(stream_, nullptr, nullptr);
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
    // Set before the request: a suspension that the server reports while it uncorks belongs to
    // the running stream.
    corked_ = corked;
    if (!connection_->Complete(
            pa_stream_cork(stream_, corked ? 1 : 0, SignalLoop, connection_.get())))
        return Broken() ? DSERR_NODRIVER : DSERR_GENERIC;
    return DS_OK;
}

void PulseStream::StateChanged(pa_stream* stream, void* self) {
    auto* owner = static_cast<PulseStream*>(self);
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        // The context fails first when the whole server goes; a stream ended while the context
        // stands was ended for its device.
        if (owner->open_ && owner->connection_->IsReady())
            owner->LoseDevice();
        owner->broken_.store(true, std::memory_order_release);
        owner->ReportOver();
    }
    owner->connection_->Signal();
}

void PulseStream::Moved(pa_stream*, void* self) {
    static_cast<PulseStream*>(self)->LoseDevice();
}

void PulseStream::Suspended(pa_stream* stream, void* self) {
    // A corked stream lets an idle device be suspended, and uncorking resumes it: only a
    // suspension under a running stream takes its sound away.
    auto* owner = static_cast<PulseStream*>(self);
    if (pa_stream_is_suspended(stream) > 0 && !owner->corked_)
        owner->LoseDevice();
}

void PulseStream::LoseDevice() {
    deviceLost_.store(true, std::memory_order_release);
    connection_->Signal();
}

void PulseStream::Readable(pa_stream* stream, std::size_t, void* self) {
    static_cast<PulseStream*>(self)->arrived_(stream);
}

void PulseStream::Writable(pa_stream*, std::size_t bytes, void* self) {
    static_cast<PulseStream*>(self)->Write(bytes);
}

void PulseStream::Write(std::size_t bytes) {
    while (bytes > 0 && !dataEnded_) {
        void* data = nullptr;
        std::size_t size = bytes;
        if (pa_stream_begin_write(stream_, &data, &size) < 0 || size == 0)
            return; // the stream failed; StateChanged reports it
        const std::size_t filled = playback_.fill(data, size);
        if (filled == 0) {
            pa_stream_cancel_write(stream_);
            // Everything is written; the playback is over once the server has played it all.
            dataEnded_ = true;
            drain_ = pa_stream_drain(stream_, Drained, this);
            if (!drain_)
                ReportOver();
            return;
        }
        if (pa_stream_write(stream_, data, filled, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return;
        bytes -= filled < bytes ? filled : bytes;
    }
}

void PulseStream::Drained(pa_stream*, int, void* self) {
    // A drain that failed leaves nothing more to play either.
    auto* owner = static_cast<PulseStream*>(self);
    pa_operation_unref(owner->drain_);
    owner->drain_ = nullptr;
    owner->ReportOver();
}

void PulseStream::ReportOver() {
    if (!open_ || overReported_ || !playback_.over)
        return;
    overReported_ = true;
    playback_.over();
}

} // namespace platform::pulse
