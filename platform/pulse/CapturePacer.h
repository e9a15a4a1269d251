// Hands captured bytes on to the ring at the pace of the sound they carry. The server delivers in
// pieces (a fragment every 50 ms, or seconds at once from a timer-driven source); a ring that
// jumped by whole pieces would make a reader polling at the same rate see twice the sound in one
// look and none in the next, and would overrun on a burst although no reader was late. The pacer
// starts its clock at the first byte and from then on releases what the clock says is due, whenever
// it is asked: the ring runs about one piece behind the server, evenly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace platform::pulse {

class CapturePacer {
public:
    // `bytesPerSecond` of the sound; `frameBytes` keeps releases whole frames; `credit` is how far
    // the clock may run ahead of the bytes while there are none to release (a late piece then
    // goes at once up to that much); `maxBacklog` is the most held back before the excess goes at
    // once (a source whose clock runs faster than ours must not make the delay grow without end).
    CapturePacer(double bytesPerSecond, std::uint32_t frameBytes, std::uint32_t credit,
                 std::size_t maxBacklog)
        : bytesPerSecond_(bytesPerSecond), frameBytes_(frameBytes), credit_(credit),
          maxBacklog_(maxBacklog) {}

    // Drops whatever is held; the clock starts again with the next bytes.
    void Restart();
    // Holds `bytes` (silence when `data` is null).
    void Push(const void* data, std::size_t bytes);
    // Passes to `sink` what is due at `nowUsec`; the first call that finds bytes held starts the
    // clock and passes nothing.
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
    bool clockRunning_ = false;
};

} // namespace platform::pulse
