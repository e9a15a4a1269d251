#include "platform/player/PulseOutput.h"

#include "platform/Playback.h"
#include "platform/player/Mp3Decoder.h"
#include "platform/player/PlaybackError.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/stream.h>
#include <string>

namespace platform::player {

namespace {

constexpr pa_usec_t BufferMicroseconds = 200 * 1000;

} // namespace

PulseOutput::PulseOutput(pa_context* context, Mp3Decoder& decoder, std::function<void()> over)
    : decoder_(decoder), over_(std::move(over)) {
    const Mp3Decoder::Format format = decoder.OutputFormat();
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_S16NE;
    spec.rate = static_cast<std::uint32_t>(format.SampleRate);
    spec.channels = static_cast<std::uint8_t>(format.Channels);
    const auto refuse = [context](const char* what) {
        throw PlaybackError(BASS_ERROR_START,
                            std::string(what) + ": " + pa_strerror(pa_context_errno(context)));
    };
    stream_ = pa_stream_new(context, "Playback", &spec, nullptr);
    if (!stream_)
        refuse("The sound server refused the playback");
    pa_stream_set_write_callback(stream_, OnWritable, this);
    pa_stream_set_state_callback(stream_, OnState, this);
    // A short buffer: the END should come when the operator stops hearing the file, not seconds
    // later, and a freed stream should fall silent at once.
    pa_buffer_attr buffer{};
    buffer.maxlength = static_cast<std::uint32_t>(-1);
    buffer.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(BufferMicroseconds, &spec));
    buffer.prebuf = static_cast<std::uint32_t>(-1);
    buffer.minreq = static_cast<std::uint32_t>(-1);
    buffer.fragsize = static_cast<std::uint32_t>(-1);
    if (pa_stream_connect_playback(stream_, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr,
                                   nullptr) < 0) {
        pa_stream_set_write_callback(stream_, nullptr, nullptr);
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_unref(stream_);
        refuse("The sound server refused the playback");
    }
}

PulseOutput::~PulseOutput() {
    if (drain_) {
        pa_operation_cancel(drain_);
        pa_operation_unref(drain_);
    }
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
}

void PulseOutput::OnWritable(pa_stream*, size_t bytes, void* self) {
    static_cast<PulseOutput*>(self)->Fill(bytes);
}

void PulseOutput::Fill(size_t bytes) {
    while (bytes > 0 && !decodedAll_) {
        void* data = nullptr;
        size_t size = bytes;
        if (pa_stream_begin_write(stream_, &data, &size) < 0 || size == 0)
            return; // the stream failed; OnState reports it
        const size_t got = decoder_.Decode(data, size);
        if (got == 0) {
            pa_stream_cancel_write(stream_);
            // Everything is written; the playback is over once the server has played it all.
            decodedAll_ = true;
            drain_ = pa_stream_drain(stream_, OnDrained, this);
            if (!drain_)
                ReportOver();
            return;
        }
        if (pa_stream_write(stream_, data, got, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return;
        bytes -= got < bytes ? got : bytes;
    }
}

void PulseOutput::OnDrained(pa_stream*, int, void* self) {
    // A drain that failed leaves nothing more to play either.
    auto& output = *static_cast<PulseOutput*>(self);
    pa_operation_unref(output.drain_);
    output.drain_ = nullptr;
    output.ReportOver();
}

void PulseOutput::OnState(pa_stream* stream, void* self) {
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)
        static_cast<PulseOutput*>(self)->ReportOver();
}

void PulseOutput::ReportOver() {
    if (reported_)
        return;
    reported_ = true;
    over_();
}

} // namespace platform::player
