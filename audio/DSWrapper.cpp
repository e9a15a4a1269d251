#include "audio/DSWrapper.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace audio {
namespace {

// Unlocks a locked region of a capture or playback ring when the scope ends.
template <typename Buffer> class RegionLock {
public:
    RegionLock(Buffer& buffer, std::uint32_t offset, std::uint32_t bytes) : buffer_(buffer) {
        result_ = buffer_.Lock(offset, bytes, &region_);
    }
    ~RegionLock() {
        if (!platform::Failed(result_))
            buffer_.Unlock(region_);
    }
    RegionLock(const RegionLock&) = delete;
    RegionLock& operator=(const RegionLock&) = delete;
    SoundResult Result() const { return result_; }
    const platform::LockedRegion& Region() const { return region_; }

private:
    Buffer& buffer_;
    platform::LockedRegion region_;
    SoundResult result_;
};

} // namespace

const char* DSErrorName(SoundResult Result) {
    switch (static_cast<std::uint32_t>(Result)) {
    case 0x80004001u:
        return "DSERR_UNSUPPORTED";
    case 0x80004005u:
        return "DSERR_GENERIC";
    case 0x80070057u:
        return "DSERR_INVALIDPARAM";
    case 0x8878000Au:
        return "DSERR_ALLOCATED";
    case 0x88780032u:
        return "DSERR_INVALIDCALL";
    case 0x88780064u:
        return "DSERR_BADFORMAT";
    case 0x88780078u:
        return "DSERR_NODRIVER";
    case 0x88780082u:
        return "DSERR_ALREADYINITIALIZED";
    case 0x88890004u:
        return "AUDCLNT_E_DEVICE_INVALIDATED";
    default:
        return "Unknown";
    }
}

SoundResult ListCaptureDevices(platform::SoundSystem& System, TCaptureDeviceList& List) {
    List.Count = 0;
    return System.EnumerateCaptureDevices(
        [&List](const platform::SoundDeviceId* id, const char* description) {
            if (List.Count >= MaxCaptureDevices)
                return false;
            TCaptureDeviceEntry& entry = List.Devices[static_cast<std::size_t>(List.Count)];
            entry.Id = id ? *id : platform::SoundDeviceId{};
            entry.Description.fill(0);
            const std::size_t length = description ? std::strlen(description) : 0;
            std::memcpy(entry.Description.data(), description,
                        std::min<std::size_t>(length, entry.Description.size() - 1));
            ++List.Count;
            return true;
        });
}

SoundResult OpenCaptureDevice(platform::SoundSystem& System, const TCaptureDeviceEntry& Entry,
                              TSoundLink& Link) {
    return System.CreateCaptureDevice(Entry.Id, &Link.CaptureDevice);
}

SoundResult MakeCaptureRing(TSoundLink& Link, const platform::WaveFormat& Format,
                            std::uint32_t RingBytes) {
    if (!Link.CaptureDevice)
        return platform::DSERR_INVALIDCALL;
    const SoundResult result =
        Link.CaptureDevice->CreateCaptureBuffer(Format, RingBytes, &Link.CaptureBuffer);
    if (!platform::Failed(result)) {
        Link.ReadOffset = 0;
        Link.RingSize = RingBytes;
        Link.BytesPerSecond = Format.avgBytesPerSec;
    }
    return result;
}

SoundResult StartCaptureRing(TSoundLink& Link) {
    if (!Link.CaptureBuffer)
        return platform::DS_OK;
    Link.LastTake = std::chrono::steady_clock::now();
    Link.AwaitingFirstData = true;
    return Link.CaptureBuffer->Start(true);
}

SoundResult StopCaptureRing(TSoundLink& Link) {
    if (!Link.CaptureBuffer)
        return platform::DS_OK;
    return Link.CaptureBuffer->Stop();
}

SoundResult CapturedBytes(TSoundLink& Link, std::uint32_t& Waiting) {
    Waiting = 0;
    if (!Link.CaptureBuffer)
        return platform::DSERR_INVALIDCALL;
    std::uint32_t readPosition = 0;
    const SoundResult result = Link.CaptureBuffer->GetCurrentPosition(nullptr, &readPosition);
    if (platform::Failed(result))
        return result;
    const std::int64_t waiting = std::int64_t(readPosition) - std::int64_t(Link.ReadOffset);
    Waiting = static_cast<std::uint32_t>(waiting < 0 ? waiting + Link.RingSize : waiting);
    // The device delivers in real time, so between two polls less than a ring arrives: an empty
    // ring before the first take means that nothing has arrived yet, not that a ring was lost.
    if (Waiting == 0 && Link.AwaitingFirstData)
        Link.LastTake = std::chrono::steady_clock::now();
    return result;
}

namespace {

double LostRings(std::uint32_t Waiting, double ElapsedBytes, std::uint32_t RingSize) {
    if (RingSize == 0)
        return 0;
    return std::max(0.0, std::nearbyint((ElapsedBytes - double(Waiting)) / double(RingSize)));
}

double BytesSinceLastTake(const TSoundLink& Link, std::chrono::steady_clock::time_point Now) {
    return std::chrono::duration<double>(Now - Link.LastTake).count() * Link.BytesPerSecond;
}

} // namespace

bool OverrunRecognised(std::uint32_t Waiting, double ElapsedBytes, std::uint32_t RingSize) {
    return LostRings(Waiting, ElapsedBytes, RingSize) >= 1.0;
}

std::uint64_t LostRingBytes(const TSoundLink& Link, std::uint32_t Waiting,
                            std::chrono::steady_clock::time_point Now) {
    return static_cast<std::uint64_t>(
               LostRings(Waiting, BytesSinceLastTake(Link, Now), Link.RingSize)) *
           Link.RingSize;
}

bool OverrunRecognised(const TSoundLink& Link, std::uint32_t Waiting,
                       std::chrono::steady_clock::time_point Now) {
    if (Link.CaptureBuffer)
        if (const std::optional<bool> counted = Link.CaptureBuffer->Overran())
            return *counted;
    return OverrunRecognised(Waiting, BytesSinceLastTake(Link, Now), Link.RingSize);
}

SoundResult TakeCaptured(TSoundLink& Link, void* Destination, std::uint32_t Count,
                         std::uint32_t& Taken) {
    Taken = 0;
    if (!Link.CaptureBuffer)
        return platform::DSERR_INVALIDCALL;
    RegionLock lock(*Link.CaptureBuffer, Link.ReadOffset, Count);
    if (platform::Failed(lock.Result()))
        return lock.Result();
    const platform::LockedRegion& region = lock.Region();
    auto* to = static_cast<std::uint8_t*>(Destination);
    std::memcpy(to, region.part1, region.bytes1);
    if (region.bytes2)
        std::memcpy(to + region.bytes1, region.part2, region.bytes2);
    Taken = region.bytes1 + region.bytes2;
    Link.ReadOffset = (Link.ReadOffset + Taken) % Link.RingSize;
    Link.LastTake = std::chrono::steady_clock::now();
    Link.AwaitingFirstData = false;
    return platform::DS_OK;
}

SoundResult TakeWholeRing(TSoundLink& Link, void* Destination, std::uint32_t& Taken) {
    Taken = 0;
    if (!Link.CaptureBuffer)
        return platform::DSERR_INVALIDCALL;
    RegionLock lock(*Link.CaptureBuffer, 0, Link.RingSize);
    if (platform::Failed(lock.Result()))
        return lock.Result();
    std::uint32_t capturePosition = 0;
    if (const SoundResult result =
            Link.CaptureBuffer->GetCurrentPosition(&capturePosition, nullptr);
        platform::Failed(result))
        return result;
    const platform::LockedRegion& region = lock.Region();
    if (region.bytes1 != Link.RingSize)
        return platform::DSERR_GENERIC;
    capturePosition %= Link.RingSize;
    auto* to = static_cast<std::uint8_t*>(Destination);
    std::memcpy(to, region.part1 + capturePosition, Link.RingSize - capturePosition);
    std::memcpy(to + (Link.RingSize - capturePosition), region.part1, capturePosition);
    Taken = Link.RingSize;
    Link.ReadOffset = capturePosition;
    Link.LastTake = std::chrono::steady_clock::now();
    Link.AwaitingFirstData = false;
    return platform::DS_OK;
}

void CloseSoundLink(TSoundLink& Link) {
    if (Link.SecondaryBuffer) {
        Link.SecondaryBuffer->Stop();
        Link.SecondaryBuffer.reset();
    }
    Link.PrimaryBuffer.reset();
    if (Link.CaptureBuffer) {
        Link.CaptureBuffer->Stop();
        Link.CaptureBuffer.reset();
    }
    Link.CaptureDevice.reset();
    Link.PlaybackDevice.reset();
    Link.Playing = false;
}

SoundResult StartEcho(platform::SoundSystem& System, const TCaptureDeviceEntry& Entry,
                      TSoundLink& Link, const platform::WaveFormat& Format,
                      std::uint32_t RingBytes) {
    SoundResult result = System.CreatePlaybackDevice(Entry.Id, &Link.PlaybackDevice);
    if (!platform::Failed(result))
        result = Link.PlaybackDevice->CreatePrimaryBuffer(&Link.PrimaryBuffer);
    if (!platform::Failed(result))
        result = Link.PrimaryBuffer->SetFormat(Format);
    if (!platform::Failed(result))
        result =
            Link.PlaybackDevice->CreateSecondaryBuffer(Format, RingBytes, &Link.SecondaryBuffer);
    if (platform::Failed(result))
        return result;
    Link.PlaySize = RingBytes;
    Link.FrameBytes = std::max<std::uint32_t>(1, Format.blockAlign);
    {
        RegionLock lock(*Link.SecondaryBuffer, 0, RingBytes);
        if (platform::Failed(lock.Result()))
            return lock.Result();
        std::memset(lock.Region().part1, 0, lock.Region().bytes1);
    }
    std::uint32_t writeCursor = 0;
    result = Link.SecondaryBuffer->GetCurrentPosition(nullptr, &writeCursor);
    if (!platform::Failed(result))
        result = Link.SecondaryBuffer->SetCurrentPosition(0);
    if (!platform::Failed(result))
        result = Link.SecondaryBuffer->Play(true);
    if (platform::Failed(result))
        return result;
    Link.WriteOffset = writeCursor % RingBytes;
    Link.Playing = true;
    return platform::DS_OK;
}

SoundResult FeedEcho(TSoundLink& Link, const void* Data, std::uint32_t Count) {
    if (!Link.SecondaryBuffer || !Link.Playing)
        return platform::DS_OK;
    std::uint32_t playCursor = 0;
    SoundResult result = Link.SecondaryBuffer->GetCurrentPosition(&playCursor, nullptr);
    if (platform::Failed(result))
        return result;
    // The write offset never reaches the play cursor from behind: equal means everything written
    // has been played, and one frame always stays free.
    std::uint32_t free = (playCursor + Link.PlaySize - Link.WriteOffset) % Link.PlaySize;
    if (free == 0)
        free = Link.PlaySize;
    free -= Link.FrameBytes;
    std::uint32_t bytes = std::min(free, Count);
    bytes -= bytes % Link.FrameBytes;
    if (bytes == 0)
        return platform::DS_OK;
    RegionLock lock(*Link.SecondaryBuffer, Link.WriteOffset, bytes);
    if (platform::Failed(lock.Result()))
        return lock.Result();
    const platform::LockedRegion& region = lock.Region();
    const auto* from = static_cast<const std::uint8_t*>(Data);
    if (from) {
        std::memcpy(region.part1, from, region.bytes1);
        if (region.bytes2)
            std::memcpy(region.part2, from + region.bytes1, region.bytes2);
    } else {
        std::memset(region.part1, 0, region.bytes1);
        if (region.bytes2)
            std::memset(region.part2, 0, region.bytes2);
    }
    Link.WriteOffset = (Link.WriteOffset + bytes) % Link.PlaySize;
    return platform::DS_OK;
}

SoundResult StopEcho(TSoundLink& Link) {
    Link.Playing = false;
    return Link.SecondaryBuffer ? Link.SecondaryBuffer->Stop() : platform::DS_OK;
}

SoundResult ResumeEcho(TSoundLink& Link) {
    if (!Link.SecondaryBuffer)
        return platform::DS_OK;
    Link.Playing = true;
    return Link.SecondaryBuffer->Play(true);
}

} // namespace audio
