#include "platform/pulse/PulseCapture.h"

#include "platform/pulse/CapturePacer.h"
#include "platform/pulse/PulseStream.h"
#include "platform/pulse/SoundRing.h"

#include <algorithm>

namespace platform::pulse {
namespace {

class PulseCaptureBuffer final : public CaptureBuffer {
public:
    PulseCaptureBuffer(std::shared_ptr<PulseConnection> connection, const WaveFormat& format,
                       std::uint32_t ringBytes)
        : connection_(std::move(connection)), ring_(ringBytes),
          chunk_(std::max<std::uint32_t>(format.blockAlign,
                                         ringBytes / 8 / format.blockAlign * format.blockAlign)),
          pacer_(double(format.avgBytesPerSec), format.blockAlign, chunk_,
                 std::size_t(format.avgBytesPerSec) * MaxBacklogSeconds) {}

    SoundResult Connect(const WaveFormat& format, const char* source) {
        // The server is asked for pieces of an eighth of the ring, so that a reader late by more
        // than one ring really loses bytes and the capture position never lags far behind.
        if (const SoundResult result = PulseStream::OpenRecord(
                connection_, format, source, chunk_,
                [this](pa_stream* stream) { DataArrived(stream); }, &stream_);
            Failed(result))
            return result;
        // The pacer's clock ticks four times per ring: the position never lags by more than a
        // quarter ring, well within the half ring that overrun recognition tolerates.
        const auto ringUsec = std::chrono::microseconds(std::uint64_t(ring_.Size()) * 1000000u /
                                                        std::max(1u, format.avgBytesPerSec));
        const auto period = std::clamp(ringUsec / 4, std::chrono::microseconds(2000),
                                       std::chrono::microseconds(25000));
        timer_ = std::make_unique<LoopTimer>(connection_, period, [this] { ReleaseDue(); });
        return DS_OK;
    }

    SoundResult Start(bool looping) override {
        if (!looping)
            return DSERR_INVALIDPARAM;
        {
            PulseConnection::LoopLock lock(*connection_);
            pacer_.Restart(pa_rtclock_now());
        }
        running_.store(true, std::memory_order_release);
        const SoundResult result = stream_->SetCorked(false);
        if (Failed(result))
            running_.store(false, std::memory_order_release);
        return result;
    }

    SoundResult Stop() override {
        running_.store(false, std::memory_order_release);
        return stream_->SetCorked(true);
    }

    SoundResult GetCurrentPosition(std::uint32_t* capturePosition,
                                   std::uint32_t* readPosition) override {
        if (stream_->Broken())
            return DSERR_NODRIVER;
        const std::uint32_t position = ring_.Cursor();
        if (capturePosition)
            *capturePosition = position;
        if (readPosition)
            *readPosition = position;
        return DS_OK;
    }

    SoundResult Lock(std::uint32_t offset, std::uint32_t bytes, LockedRegion* region) override {
        return ring_.Lock(offset, bytes, region);
    }
    SoundResult Unlock(const LockedRegion& region) override { return ring_.Unlock(region); }

    ~PulseCaptureBuffer() override {
        timer_.reset();
        stream_.reset();
    }

private:
    static constexpr std::size_t MaxBacklogSeconds = 3;

    // On the connection's thread.
    void DataArrived(pa_stream* stream) {
        const void* data = nullptr;
        std::size_t bytes = 0;
        while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0) {
            if (bytes == 0)
                break;
            // A hole in the server's data is silence; bytes that arrive while stopped are dropped.
            if (running_.load(std::memory_order_acquire))
                pacer_.Push(data, bytes);
            pa_stream_drop(stream);
        }
        ReleaseDue();
    }

    // On the connection's thread.
    void ReleaseDue() {
        if (!running_.load(std::memory_order_acquire))
            return;
        pacer_.Release(pa_rtclock_now(), [this](const std::uint8_t* data, std::size_t bytes) {
            ring_.Fill(data, bytes);
        });
    }

    std::shared_ptr<PulseConnection> connection_;
    SoundRing ring_;
    std::uint32_t chunk_;
    CapturePacer pacer_; // used on the connection's thread, or with its loop locked
    std::atomic<bool> running_{false};
    std::unique_ptr<PulseStream> stream_;
    std::unique_ptr<LoopTimer> timer_;
};

} // namespace

SoundResult PulseCaptureDevice::CreateCaptureBuffer(const WaveFormat& format,
                                                    std::uint32_t ringBytes,
                                                    std::unique_ptr<CaptureBuffer>* buffer) {
    if (!buffer || ringBytes == 0 || format.blockAlign == 0 || ringBytes % format.blockAlign != 0)
        return DSERR_INVALIDPARAM;
    pa_sample_spec spec{};
    if (const SoundResult result = SampleSpecFor(format, &spec); Failed(result))
        return result;
    auto created = std::make_unique<PulseCaptureBuffer>(connection_, format, ringBytes);
    if (const SoundResult result = created->Connect(format, source_ ? source_->c_str() : nullptr);
        Failed(result))
        return result;
    *buffer = std::move(created);
    return DS_OK;
}

} // namespace platform::pulse
