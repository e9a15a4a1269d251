// The exam page's picture of the running answer: its level over the last two minutes, one bar per
// second, so a dropout or a long silence shows at a glance.
#pragma once

#include <cstdint>
#include <deque>

namespace station {

class LevelHistory {
public:
    static constexpr std::size_t Seconds = 120;

    // A meter position (0 to 100) reported `elapsedMs` after the recording started. Returns true
    // when this closed one or more seconds, the only times the picture changes. A second in which
    // no position was reported counts as silent: nothing was heard then.
    bool Add(std::int64_t position, std::int64_t elapsedMs);
    // A new participant: the picture starts empty.
    void Restart();

    // The last Seconds whole seconds, oldest first: each the loudest position reported in it.
    const std::deque<int>& Bars() const { return bars_; }

private:
    void Close(int level);

    std::deque<int> bars_;
    std::int64_t second_ = 0; // the second now being filled
    int loudest_ = 0;
};

} // namespace station
