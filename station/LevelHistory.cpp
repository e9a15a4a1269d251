#include "station/LevelHistory.h"

#include <algorithm>

namespace station {

bool LevelHistory::Add(std::int64_t position, std::int64_t elapsedMs) {
    const std::int64_t second = std::max<std::int64_t>(elapsedMs, 0) / 1000;
    bool closed = false;
    // A clock step far ahead fills at most the whole picture, not one bar per lost second.
    if (second > second_ + static_cast<std::int64_t>(Seconds)) {
        Close(loudest_);
        loudest_ = 0;
        second_ = second - static_cast<std::int64_t>(Seconds);
    }
    while (second_ < second) {
        Close(loudest_);
        loudest_ = 0;
        ++second_;
        closed = true;
    }
    loudest_ = std::max(loudest_, static_cast<int>(std::clamp<std::int64_t>(position, 0, 100)));
    return closed;
}

void LevelHistory::Restart() {
    bars_.clear();
    second_ = 0;
    loudest_ = 0;
}

void LevelHistory::Close(int level) {
    bars_.push_back(level);
    if (bars_.size() > Seconds)
        bars_.pop_front();
}

} // namespace station
