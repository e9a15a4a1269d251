// Results, formats and identifiers shared by the capture and playback interfaces of the sound
// layer. Results follow the HRESULT convention of the capture code that uses them: 0 is success,
// every failure has its high bit set.
#pragma once

#include <array>
#include <cstdint>

namespace platform {

using SoundResult = std::int32_t;

constexpr SoundResult DS_OK = 0;
constexpr SoundResult DSERR_UNSUPPORTED = static_cast<SoundResult>(0x80004001u);
constexpr SoundResult DSERR_GENERIC = static_cast<SoundResult>(0x80004005u);
constexpr SoundResult DSERR_INVALIDPARAM = static_cast<SoundResult>(0x80070057u);
constexpr SoundResult DSERR_ALLOCATED = static_cast<SoundResult>(0x8878000Au);
constexpr SoundResult DSERR_INVALIDCALL = static_cast<SoundResult>(0x88780032u);
constexpr SoundResult DSERR_BADFORMAT = static_cast<SoundResult>(0x88780064u);
constexpr SoundResult DSERR_NODRIVER = static_cast<SoundResult>(0x88780078u);
constexpr SoundResult DSERR_ALREADYINITIALIZED = static_cast<SoundResult>(0x88780082u);
// The device a running stream captured from is gone: unplugged, removed from the sound server, or
// replaced by another one under the stream. The system's own code for an invalidated audio device.
constexpr SoundResult AUDCLNT_E_DEVICE_INVALIDATED = static_cast<SoundResult>(0x88890004u);

inline bool Failed(SoundResult result) {
    return result < 0;
}

// 16 bytes naming one device; all zero selects the sound server's default device.
using SoundDeviceId = std::array<std::uint8_t, 16>;
constexpr SoundDeviceId DefaultSoundDevice{};

// Interleaved little-endian PCM, described as the capture code's wave format record is.
struct WaveFormat {
    std::uint16_t formatTag = 1; // 1 = PCM, the only kind supported
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
};

// The wave format record for PCM of the given shape, with its derived fields filled in.
inline WaveFormat PcmFormat(std::uint32_t bitsPerSample, std::uint32_t channels,
                            std::uint32_t sampleRate) {
    WaveFormat format;
    format.channels = static_cast<std::uint16_t>(channels);
    format.samplesPerSec = sampleRate;
    format.blockAlign = static_cast<std::uint16_t>((bitsPerSample / 8) * channels);
    format.avgBytesPerSec = format.blockAlign * sampleRate;
    format.bitsPerSample = static_cast<std::uint16_t>(bitsPerSample);
    return format;
}

// A region of a ring buffer handed out by Lock: at most two parts, the second one starting at the
// ring's beginning when the region wraps.
struct LockedRegion {
    std::uint8_t* part1 = nullptr;
    std::uint32_t bytes1 = 0;
    std::uint8_t* part2 = nullptr;
    std::uint32_t bytes2 = 0;
};

} // namespace platform
