#include "platform/pulse/SoundRing.h"

#include <algorithm>
#include <cstring>

namespace platform::pulse {

void SoundRing::SetCursor(std::uint32_t offset) {
    std::lock_guard guard(mutex_);
    cursor_.store(offset % Size(), std::memory_order_release);
}

SoundResult SoundRing::Lock(std::uint32_t offset, std::uint32_t bytes, LockedRegion* region) {
    if (!region || offset >= Size() || bytes == 0 || bytes > Size())
        return DSERR_INVALIDPARAM;
    if (locked_)
        return DSERR_INVALIDCALL;
    mutex_.lock();
    locked_ = true;
    // A region up to the cursor takes everything there is; a shorter one leaves what follows it.
    if ((offset + bytes) % Size() == cursor_.load(std::memory_order_relaxed))
        unread_ = 0;
    else
        unread_ -= std::min<std::uint64_t>(unread_, bytes);
    region->part1 = data_.data() + offset;
    region->bytes1 = std::min(bytes, Size() - offset);
    region->bytes2 = bytes - region->bytes1;
    region->part2 = region->bytes2 ? data_.data() : nullptr;
    return DS_OK;
}

SoundResult SoundRing::Unlock(const LockedRegion&) {
    if (!locked_)
        return DSERR_INVALIDCALL;
    locked_ = false;
    mutex_.unlock();
    return DS_OK;
}

bool SoundRing::Overran() {
    std::lock_guard guard(mutex_);
    return unread_ >= Size();
}

std::uint64_t SoundRing::Overwritten() {
    std::lock_guard guard(mutex_);
    return overwritten_;
}

std::uint64_t SoundRing::Unread() {
    std::lock_guard guard(mutex_);
    return unread_;
}

std::uint64_t SoundRing::Fill(const void* source, std::size_t bytes) {
    std::lock_guard guard(mutex_);
    unread_ += bytes;
    // The ring holds Size() unread bytes at most: whatever lies beyond was written over. Held at
    // that, so that the count of a long overrun is the bytes lost, not the bytes filled.
    const std::uint64_t lost = unread_ > Size() ? unread_ - Size() : 0;
    overwritten_ += lost;
    unread_ -= lost;
    const auto* from = static_cast<const std::uint8_t*>(source);
    std::uint32_t cursor = cursor_.load(std::memory_order_relaxed);
    while (bytes > 0) {
        const std::size_t piece = std::min<std::size_t>(bytes, Size() - cursor);
        if (from) {
            std::memcpy(data_.data() + cursor, from, piece);
            from += piece;
        } else {
            std::memset(data_.data() + cursor, 0, piece);
        }
        cursor = static_cast<std::uint32_t>((cursor + piece) % Size());
        bytes -= piece;
    }
    cursor_.store(cursor, std::memory_order_release);
    return lost;
}

void SoundRing::Drain(void* destination, std::size_t bytes) {
    std::lock_guard guard(mutex_);
    auto* to = static_cast<std::uint8_t*>(destination);
    std::uint32_t cursor = cursor_.load(std::memory_order_relaxed);
    while (bytes > 0) {
        const std::size_t piece = std::min<std::size_t>(bytes, Size() - cursor);
        std::memcpy(to, data_.data() + cursor, piece);
        to += piece;
        cursor = static_cast<std::uint32_t>((cursor + piece) % Size());
        bytes -= piece;
    }
    cursor_.store(cursor, std::memory_order_release);
}

} // namespace platform::pulse
