#include "platform/pulse/CapturePacer.h"

#include <algorithm>

namespace platform::pulse {

void CapturePacer::Restart() {
    held_.clear();
    head_ = 0;
    due_ = 0;
    clockRunning_ = false;
}

void CapturePacer::Push(const void* data, std::size_t bytes) {
    // Released bytes are dropped from the front only now and then, so a push costs one copy.
    if (head_ > 0 && head_ >= held_.size() / 2) {
        held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(head_));
        head_ = 0;
    }
    if (data) {
        const auto* from = static_cast<const std::uint8_t*>(data);
        held_.insert(held_.end(), from, from + bytes);
    } else {
        held_.insert(held_.end(), bytes, 0);
    }
}

void CapturePacer::Release(std::uint64_t nowUsec,
                           const std::function<void(const std::uint8_t*, std::size_t)>& sink) {
    const std::size_t held = Held();
    if (!clockRunning_) {
        if (held == 0)
            return;
        // Starting one piece behind the server is what keeps every later release on the clock.
        clockRunning_ = true;
        lastUsec_ = nowUsec;
    }
    if (nowUsec > lastUsec_)
        due_ += double(nowUsec - lastUsec_) * bytesPerSecond_ / 1e6;
    lastUsec_ = nowUsec;
    std::size_t release = std::min<std::size_t>(held, static_cast<std::size_t>(due_));
    if (held - release > maxBacklog_)
        release = held - maxBacklog_;
    release -= release % frameBytes_;
    due_ = std::max(0.0, due_ - double(release));
    // Time with nothing to release earns no more than the credit: a burst after a gap is paced.
    if (held == release)
        due_ = std::min<double>(due_, credit_);
    if (release == 0)
        return;
    sink(held_.data() + head_, release);
    head_ += release;
    if (head_ == held_.size()) {
        held_.clear();
        head_ = 0;
    }
}

} // namespace platform::pulse
