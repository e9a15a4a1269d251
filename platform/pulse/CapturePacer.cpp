#include "platform/pulse/CapturePacer.h"

#include <algorithm>
#include <vector>

namespace platform::pulse {

void CapturePacer::Restart(std::uint64_t nowUsec) {
    held_.clear();
    due_ = credit_;
    lastUsec_ = nowUsec;
}

void CapturePacer::Push(const void* data, std::size_t bytes) {
    if (data) {
        const auto* from = static_cast<const std::uint8_t*>(data);
        held_.insert(held_.end(), from, from + bytes);
    } else {
        held_.insert(held_.end(), bytes, 0);
    }
}

void CapturePacer::Release(std::uint64_t nowUsec,
                           const std::function<void(const std::uint8_t*, std::size_t)>& sink) {
    if (nowUsec > lastUsec_)
        due_ += double(nowUsec - lastUsec_) * bytesPerSecond_ / 1e6;
    lastUsec_ = nowUsec;
    std::size_t release = std::min<std::size_t>(held_.size(), static_cast<std::size_t>(due_));
    if (held_.size() - release > maxBacklog_)
        release = held_.size() - maxBacklog_;
    release -= release % frameBytes_;
    due_ = std::max(0.0, due_ - double(release));
    // Time with nothing to release earns no more than the credit: a burst after a gap is paced.
    if (held_.size() == release)
        due_ = std::min<double>(due_, credit_);
    if (release == 0)
        return;
    thread_local std::vector<std::uint8_t> scratch;
    scratch.assign(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(release));
    held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(release));
    sink(scratch.data(), scratch.size());
}

} // namespace platform::pulse
