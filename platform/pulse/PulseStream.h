// A record or playback stream on one connection, created corked: the owner sets its data callback,
// connects it and then corks or uncorks it to start and stop. Destroying it disconnects it, after
// which no callback of it runs.
#pragma once

#include "platform/SoundTypes.h"
#include "platform/pulse/PulseConnection.h"

#include <atomic>
#include <memory>

namespace platform::pulse {

// The server's sample spec for a PCM format; DSERR_BADFORMAT for what the layer cannot carry,
// DSERR_INVALIDPARAM for a record whose fields disagree.
SoundResult SampleSpecFor(const WaveFormat& format, pa_sample_spec* spec);

class PulseStream {
public:
    enum class Direction { Record, Playback };

    // `device` is the server's name of the source or sink, or null for the default one.
    // `chunkBytes` is how much the server gathers (record) or keeps queued (playback) at most: it
    // keeps the server's own buffering well below the ring.
    static SoundResult Open(std::shared_ptr<PulseConnection> connection, Direction direction,
                            const WaveFormat& format, const char* device, std::uint32_t chunkBytes,
                            pa_stream_request_cb_t dataCallback, void* callbackData,
                            std::unique_ptr<PulseStream>* stream);

    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;
    ~PulseStream();

    // Starts (false) or stops (true) the flow of data; waits for the server's answer.
    SoundResult SetCorked(bool corked);
    // The server ended the stream (it went away, or the device was removed).
    bool Broken() const { return broken_.load(std::memory_order_acquire); }

private:
    PulseStream(std::shared_ptr<PulseConnection> connection) : connection_(std::move(connection)) {}
    static void StateChanged(pa_stream* stream, void* self);

    std::shared_ptr<PulseConnection> connection_;
    pa_stream* stream_ = nullptr;
    std::atomic<bool> broken_{false};
};

} // namespace platform::pulse
