// The capture device of one capture source: the device list, the link to the device's objects and
// the few calls the source makes on them. Everything here runs on the thread that reads the chain,
// except the device list, which is filled at the source's construction.
#pragma once

#include "platform/SoundSystem.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>

namespace audio {

using platform::SoundResult;

constexpr int MaxCaptureDevices = 16;

struct TCaptureDeviceEntry {
    platform::SoundDeviceId Id{};
    std::array<char, 128> Description{}; // at most 127 bytes, NUL-terminated
};

struct TCaptureDeviceList {
    int Count = 0;
    std::array<TCaptureDeviceEntry, MaxCaptureDevices> Devices{};
};

struct TSoundLink {
    // Capture.
    std::unique_ptr<platform::CaptureDevice> CaptureDevice;
    std::unique_ptr<platform::CaptureBuffer> CaptureBuffer;
    std::uint32_t ReadOffset = 0;
    std::uint32_t RingSize = 0;
    std::uint32_t BytesPerSecond = 0;
    std::chrono::steady_clock::time_point LastTake{};
    // From a start until the first bytes arrive: a server may take longer to deliver its first
    // bytes than the ring holds (PipeWire does), and that wait loses nothing.
    bool AwaitingFirstData = false;
    // Echo playback.
    std::unique_ptr<platform::PlaybackDevice> PlaybackDevice;
    std::unique_ptr<platform::PrimaryPlaybackBuffer> PrimaryBuffer;
    std::unique_ptr<platform::PlaybackBuffer> SecondaryBuffer;
    std::uint32_t WriteOffset = 0;
    std::uint32_t PlaySize = 0;
    std::uint32_t FrameBytes = 0;
    bool Playing = false;
};

// The name of a result in failure messages: "DSERR_..." or "Unknown".
const char* DSErrorName(SoundResult Result);

// Empties the list and fills it: the default device first (all-zero identifier), at most 16.
SoundResult ListCaptureDevices(platform::SoundSystem& System, TCaptureDeviceList& List);
SoundResult OpenCaptureDevice(platform::SoundSystem& System, const TCaptureDeviceEntry& Entry,
                              TSoundLink& Link);
// A ring of RingBytes holding Format; the read offset starts at 0.
SoundResult MakeCaptureRing(TSoundLink& Link, const platform::WaveFormat& Format,
                            std::uint32_t RingBytes);
SoundResult StartCaptureRing(TSoundLink& Link);
SoundResult StopCaptureRing(TSoundLink& Link);
// Bytes waiting between the read offset and the device's read position. While no byte has
// arrived since the start, an empty ring restarts the overrun clock.
SoundResult CapturedBytes(TSoundLink& Link, std::uint32_t& Waiting);
// Whether the device captured more than one ring since the last take, so that bytes not taken
// were overwritten. The position wraps every ring, so the waiting count alone cannot show whole
// lost rings; the time since the last take tells how many bytes the device produced meanwhile.
// The wrapped count is taken as exact and the time decides the number of whole rings, rounded to
// the nearest: the server's delivery may run up to half a ring early or late without a false
// alarm.
bool OverrunRecognised(std::uint32_t Waiting, double ElapsedBytes, std::uint32_t RingSize);
// A device that counts what it captured (CaptureBuffer::Overran) is asked instead of the clock.
bool OverrunRecognised(const TSoundLink& Link, std::uint32_t Waiting,
                       std::chrono::steady_clock::time_point Now);
// For a device that cannot count its losses: the bytes of the whole rings that the clock says went
// by unread since the last take (the rule of OverrunRecognised).
std::uint64_t LostRingBytes(const TSoundLink& Link, std::uint32_t Waiting,
                            std::chrono::steady_clock::time_point Now);
// Copies Count bytes from the read offset to Destination and advances the offset; Taken is what
// the device handed out.
SoundResult TakeCaptured(TSoundLink& Link, void* Destination, std::uint32_t Count,
                         std::uint32_t& Taken);
// After an overrun: takes one whole ring, oldest byte first. The oldest byte still in the ring is
// the one at the capture position, read while the ring is locked so that the device cannot move
// it; the read offset moves there, so the next take continues right after the ring.
SoundResult TakeWholeRing(TSoundLink& Link, void* Destination, std::uint32_t& Taken);
// Releases every device object the link holds.
void CloseSoundLink(TSoundLink& Link);

// Echo playback on the device of Entry: a silent looping ring of RingBytes, playing.
SoundResult StartEcho(platform::SoundSystem& System, const TCaptureDeviceEntry& Entry,
                      TSoundLink& Link, const platform::WaveFormat& Format,
                      std::uint32_t RingBytes);
// Writes up to Count bytes of Data (silence when Data is null) into the free part of the echo
// ring.
SoundResult FeedEcho(TSoundLink& Link, const void* Data, std::uint32_t Count);
SoundResult StopEcho(TSoundLink& Link);
SoundResult ResumeEcho(TSoundLink& Link);

} // namespace audio
