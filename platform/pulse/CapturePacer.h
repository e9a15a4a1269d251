// Hands captured bytes on to the ring at the pace of the sound they carry. Some sources deliver in
// large bursts (a timer-driven source may hand over seconds of sound at once); a ring filled that
// way would overrun on every burst although no reader was late. The pacer holds the burst back and
// releases it in real time; bytes that arrive on schedule pass at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace platform::pulse {

class CapturePacer {
public:
    // `bytesPerSecond` of the sound; `frameBytes` keeps releases whole frames; `credit` is how far
    // a release may run ahead of the clock (the delivery granularity of a well-behaved source);
    // `maxBacklog` is the most held back before the excess goes at once (a source whose clock runs
    // faster than ours must not make the delay grow without end).
    CapturePacer(double bytesPerSecond, std::uint32_t frameBytes, std::uint32_t credit,
                 std::size_t maxBacklog)
        : bytesPerSecond_(bytesPerSecond), frameBytes_(frameBytes), credit_(credit),
          maxBacklog_(maxBacklog) {}

    // Drops whatever is held and restarts the clock at `nowUsec`.
    void Restart(std::uint64_t nowUsec);
    // Holds `bytes` (silence when `data` is null).
    void Push(const void* data, std::size_t bytes);
    // Passes to `sink` what is due at `nowUsec`.
    void Release(std::uint64_t nowUsec,
                 const std::function<void(const std::uint8_t*, std::size_t)>& sink);
    std::size_t Held() const { return held_.size() - head_; }

private:
    double bytesPerSecond_;
    std::uint32_t frameBytes_;
    std::uint32_t credit_;
    std::size_t maxBacklog_;
    std::vector<std::uint8_t> held_; // bytes before head_ are already released
    std::size_t head_ = 0;
    double due_ = 0;
    std::uint64_t lastUsec_ = 0;
};

} // namespace platform::pulse
