#include "platform/pulse/PulseCapture.h"

#include "platform/pulse/CapturePacer.h"
#include "platform/pulse/PulseStream.h"
#include "platform/pulse/SoundRing.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>

namespace platform::pulse {
namespace {

class PulseCaptureBuffer final : public CaptureBuffer {
public:
    PulseCaptureBuffer(std::shared_ptr<PulseConnection> connection, const WaveFormat& format,
                       std::uint32_t ringBytes)
        : connection_(std::move(connection)), ring_(ringBytes),
          fragment_(FrameAligned(format, format.avgBytesPerSec / FragmentsPerSecond)),
          pacer_(double(format.avgBytesPerSec), format.blockAlign,
                 FrameAligned(format, ringBytes / 8),
                 std::size_t(format.avgBytesPerSec) * MaxBacklogSeconds),
          bytesPerSecond_(double(format.avgBytesPerSec)) {}

    SoundResult Connect(const WaveFormat& format, const char* source) {
        // The server gathers a fragment before it wakes this process, so its size is how often the
        // capture costs a wake-up; the pacer, not the fragment, decides how evenly the ring fills.
        return PulseStream::OpenRecord(
            connection_, format, source, fragment_,
            [this](pa_stream* stream) { DataArrived(stream); }, &stream_);
    }

    SoundResult Start(bool looping) override {
        if (!looping)
            return DSERR_INVALIDPARAM;
        {
            std::lock_guard guard(pacerLock_);
            pacer_.Restart();
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
        if (stream_->DeviceLost())
            return AUDCLNT_E_DEVICE_INVALIDATED;
        if (stream_->Broken())
            return DSERR_NODRIVER;
        // The reader's look is the moment the ring catches up with the clock, so a reader that
        // polls sees the sound of exactly the time since its last look. Not while the reader holds
        // the ring itself: it is then asking where the oldest byte of what it holds lies.
        if (!ring_.HeldByReader())
            ReleaseDue();
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
    // Counted, not guessed from the clock: the server delivers in fragments and bursts, and a ring
    // that waits for a late fragment has lost nothing.
    std::optional<bool> Overran() override { return ring_.Overran(); }
    std::optional<std::uint64_t> LostBytes() override {
        return lost_.load(std::memory_order_acquire);
    }
    void SetLossHandler(std::function<void()> handler) override {
        std::lock_guard guard(pacerLock_);
        lossHandler_ = std::move(handler);
    }

    // The server's delivery wakes the reader (see DataArrived); what it delivered ahead of the
    // clock is held by the pacer, and the reader then wakes when enough of it is due.
    bool WaitForCaptured(std::uint32_t bytes, std::chrono::milliseconds limit) override {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point deadline = Clock::now() + limit;
        wanted_.store(bytes, std::memory_order_release);
        for (;;) {
            const std::uint64_t seen = arrivals_.load(std::memory_order_acquire);
            const Clock::time_point now = Clock::now();
            Clock::time_point until = deadline;
            {
                std::lock_guard guard(pacerLock_);
                ReleaseLocked();
                const std::uint64_t unread = ring_.Unread();
                if (unread >= bytes || now >= deadline ||
                    !running_.load(std::memory_order_acquire) || stream_->DeviceLost() ||
                    stream_->Broken())
                    break;
                if (pacer_.Held() > 0)
                    until =
                        std::min(until, now + std::chrono::microseconds(
                                                  static_cast<std::int64_t>(double(bytes - unread) /
                                                                            bytesPerSecond_ * 1e6) +
                                                  1000));
            }
            std::unique_lock lock(waitLock_);
            arrived_.wait_until(lock, until,
                                [&] { return arrivals_.load(std::memory_order_acquire) != seen; });
        }
        wanted_.store(NoReader, std::memory_order_release);
        return true;
    }

    ~PulseCaptureBuffer() override { stream_.reset(); }

private:
    static constexpr std::size_t MaxBacklogSeconds = 3;
    static constexpr std::uint64_t NoReader = std::numeric_limits<std::uint64_t>::max();
    // At most this many wake-ups a second for the capture; the reader takes 50 ms or more a look.
    static constexpr std::uint32_t FragmentsPerSecond = 20;

    static std::uint32_t FrameAligned(const WaveFormat& format, std::uint32_t bytes) {
        return std::max<std::uint32_t>(format.blockAlign,
                                       bytes / format.blockAlign * format.blockAlign);
    }

    // On the connection's thread.
    void DataArrived(pa_stream* stream) {
        const void* data = nullptr;
        std::size_t bytes = 0;
        std::lock_guard guard(pacerLock_);
        while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0) {
            if (bytes == 0)
                break;
            // Bytes that arrive while stopped are dropped. A hole is the server's own word that it
            // dropped sound it could not hand over (its queue for this stream was full, or the
            // source skipped): it is kept as silence, so that what follows stays at its time, and
            // counted lost. libpulse has no other sign of a record stream's overflow: its overflow
            // callback is raised for playback streams only.
            if (running_.load(std::memory_order_acquire)) {
                pacer_.Push(data, bytes);
                if (!data)
                    CountLost(bytes);
            }
            pa_stream_drop(stream);
        }
        ReleaseLocked();
        // Under pacerLock_, so a waiting reader has either seen these bytes or waits for this.
        if (ring_.Unread() >= wanted_.load(std::memory_order_acquire)) {
            std::lock_guard wake(waitLock_);
            arrivals_.fetch_add(1, std::memory_order_acq_rel);
            arrived_.notify_one();
        }
    }

    // Under pacerLock_.
    void CountLost(std::uint64_t bytes) {
        if (bytes == 0)
            return;
        lost_.fetch_add(bytes, std::memory_order_acq_rel);
        if (lossHandler_)
            lossHandler_();
    }

    void ReleaseDue() {
        std::lock_guard guard(pacerLock_);
        ReleaseLocked();
    }

    void ReleaseLocked() {
        if (!running_.load(std::memory_order_acquire))
            return;
        pacer_.Release(pa_rtclock_now(), [this](const std::uint8_t* data, std::size_t bytes) {
            CountLost(ring_.Fill(data, bytes));
        });
    }

    std::shared_ptr<PulseConnection> connection_;
    SoundRing ring_;
    std::uint32_t fragment_;
    // The connection's thread pushes and releases on arrival, the reader releases when it looks;
    // the ring's own lock is always taken after this one.
    std::mutex pacerLock_;
    CapturePacer pacer_;
    std::atomic<bool> running_{false};
    std::atomic<std::uint64_t> lost_{0};
    std::function<void()> lossHandler_; // under pacerLock_
    double bytesPerSecond_;
    // A reader waiting in WaitForCaptured for this many unread bytes, and the deliveries that
    // brought them; waitLock_ is taken after pacerLock_, never before it.
    std::atomic<std::uint64_t> wanted_{NoReader};
    std::atomic<std::uint64_t> arrivals_{0};
    std::mutex waitLock_;
    std::condition_variable arrived_;
    std::unique_ptr<PulseStream> stream_;
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
