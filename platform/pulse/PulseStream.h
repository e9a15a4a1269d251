// A record or playback stream on one connection. Every stream of the program is made here: the
// capture ring, the echo ring and the player's files. Destroying it disconnects it, after which no
// callback of it runs.
#pragma once

#include "platform/SoundTypes.h"
#include "platform/pulse/PulseConnection.h"

#include <atomic>
#include <functional>
#include <memory>

namespace platform::pulse {

// The server's sample spec for a PCM format; DSERR_BADFORMAT for what the layer cannot carry,
// DSERR_INVALIDPARAM for a record whose fields disagree.
SoundResult SampleSpecFor(const WaveFormat& format, pa_sample_spec* spec);

class PulseStream {
public:
    // On the connection's thread: the server has `bytes` of captured data ready to be read.
    using Arrived = std::function<void(pa_stream* stream)>;
    // On the connection's thread: fills up to `bytes` at `data` and says how much it filled; 0
    // means the data has ended, and the stream then plays out what it holds.
    using Fill = std::function<std::size_t(void* data, std::size_t bytes)>;
    // On the connection's thread, once: a playback has played out its last byte, or the stream
    // has ended for good (the server went away or removed the device).
    using Over = std::function<void()>;

    struct Playback {
        Fill fill;
        Over over; // may be empty
        bool startCorked = true;
    };

    // `device` is the server's name of the source or sink, or null for the default one.
    // `chunkBytes` is how much the server gathers (record) or keeps queued (playback) at most: it
    // keeps the server's own buffering short. Waits until the server has set the stream up.
    // A record stream starts corked.
    static SoundResult OpenRecord(std::shared_ptr<PulseConnection> connection,
                                  const WaveFormat& format, const char* device,
                                  std::uint32_t chunkBytes, Arrived arrived,
                                  std::unique_ptr<PulseStream>* stream);
    static SoundResult OpenPlayback(std::shared_ptr<PulseConnection> connection,
                                    const WaveFormat& format, const char* device,
                                    std::uint32_t chunkBytes, Playback playback,
                                    std::unique_ptr<PulseStream>* stream);

    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;
    ~PulseStream();

    // Starts (false) or stops (true) the flow of data; waits for the server's answer.
    SoundResult SetCorked(bool corked);
    // The server ended the stream (it went away, or the device was removed).
    bool Broken() const { return broken_.load(std::memory_order_acquire); }
    // The stream no longer carries the device it was opened on, while the server is still there:
    // the device was removed with the stream, the server moved the stream to another device (it
    // does so when a device goes away, and so may a user), or the device was suspended under the
    // running stream. Sound from then on would not be the one that was asked for.
    bool DeviceLost() const { return deviceLost_.load(std::memory_order_acquire); }

private:
    explicit PulseStream(std::shared_ptr<PulseConnection> connection)
        : connection_(std::move(connection)) {}
    SoundResult Connect(bool record, const WaveFormat& format, const char* device,
                        std::uint32_t chunkBytes, bool startCorked);
    static void StateChanged(pa_stream* stream, void* self);
    static void Readable(pa_stream* stream, std::size_t bytes, void* self);
    static void Writable(pa_stream* stream, std::size_t bytes, void* self);
    static void Drained(pa_stream* stream, int success, void* self);
    static void Moved(pa_stream* stream, void* self);
    static void Suspended(pa_stream* stream, void* self);
    void LoseDevice();
    void Write(std::size_t bytes);
    void ReportOver();

    std::shared_ptr<PulseConnection> connection_;
    pa_stream* stream_ = nullptr;
    std::atomic<bool> broken_{false};
    std::atomic<bool> deviceLost_{false};
    // Used on the connection's thread, or with its loop locked.
    Arrived arrived_;
    Playback playback_;
    pa_operation* drain_ = nullptr;
    bool open_ = false; // set up: from now on its end is reported
    bool corked_ = false;
    bool dataEnded_ = false;
    bool overReported_ = false;
};

} // namespace platform::pulse
