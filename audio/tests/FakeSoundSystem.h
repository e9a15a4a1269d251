// An in-process sound system for tests that need exact timing: its capture ring is filled by a
// perfect clock (the position follows the real time since Start at the format's byte rate), and
// every byte holds a known value derived from its position in the capture, so a reader can check
// that what it got is complete and in order.
#pragma once

#include "platform/SoundSystem.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace audio::test {

// The 16-bit sample that the fake device captures as sample number `index`.
inline std::int16_t FakeSample(std::uint64_t index) {
    return static_cast<std::int16_t>(index % 30000);
}

struct FakeSoundState {
    std::vector<std::string> devices = {"Microphone"};
    platform::SoundResult createDeviceResult = platform::DS_OK;
    platform::SoundResult createBufferResult = platform::DS_OK;
    std::atomic<platform::SoundResult> positionResult{platform::DS_OK};
    std::atomic<bool> stalled{false}; // the device stops delivering
    // How long after a start the first byte arrives (PipeWire's streams take about 80 ms).
    std::chrono::milliseconds startDelay{0};
    std::uint32_t lastRingBytes = 0;
    std::atomic<int> liveObjects{0};
};

class FakeCaptureBuffer final : public platform::CaptureBuffer {
public:
    FakeCaptureBuffer(FakeSoundState& state, const platform::WaveFormat& format, std::uint32_t ring)
        : state_(state), format_(format), ring_(ring), data_(ring) {
        ++state_.liveObjects;
    }
    ~FakeCaptureBuffer() override { --state_.liveObjects; }

    platform::SoundResult Start(bool) override {
        start_ = std::chrono::steady_clock::now();
        running_ = true;
        return platform::DS_OK;
    }
    platform::SoundResult Stop() override {
        captured_ = Captured();
        running_ = false;
        return platform::DS_OK;
    }
    platform::SoundResult GetCurrentPosition(std::uint32_t* capture, std::uint32_t* read) override {
        if (platform::Failed(state_.positionResult))
            return state_.positionResult;
        const auto position = static_cast<std::uint32_t>(Captured() % ring_);
        if (capture)
            *capture = position;
        if (read)
            *read = position;
        return platform::DS_OK;
    }
    platform::SoundResult Lock(std::uint32_t offset, std::uint32_t bytes,
                               platform::LockedRegion* region) override {
        if (offset >= ring_ || bytes == 0 || bytes > ring_)
            return platform::DSERR_INVALIDPARAM;
        // Every ring byte holds the latest captured byte at its offset.
        const std::uint64_t total = Captured();
        frozen_ = total; // the device waits while a region is locked
        locked_ = true;
        for (std::uint32_t i = 0; i < ring_; i += 2) {
            if (total < i + 2) {
                data_[i] = data_[i + 1] = 0;
                continue;
            }
            const std::uint64_t last = total - 2 - ((total - 2 - i) % ring_);
            const std::int16_t sample = FakeSample(last / 2);
            std::memcpy(&data_[i], &sample, 2);
        }
        region->part1 = data_.data() + offset;
        region->bytes1 = std::min(bytes, ring_ - offset);
        region->bytes2 = bytes - region->bytes1;
        region->part2 = region->bytes2 ? data_.data() : nullptr;
        return platform::DS_OK;
    }
    platform::SoundResult Unlock(const platform::LockedRegion&) override {
        locked_ = false;
        return platform::DS_OK;
    }

private:
    std::uint64_t Captured() {
        if (state_.stalled && running_) {
            captured_ = Captured(false);
            running_ = false;
        }
        return Captured(false);
    }
    std::uint64_t Captured(bool) const {
        if (locked_)
            return frozen_;
        if (!running_)
            return captured_;
        const double seconds =
            std::max(0.0, std::chrono::duration<double>(std::chrono::steady_clock::now() - start_ -
                                                        state_.startDelay)
                              .count());
        const auto frames = static_cast<std::uint64_t>(seconds * format_.samplesPerSec);
        return captured_ + frames * format_.blockAlign;
    }

    FakeSoundState& state_;
    platform::WaveFormat format_;
    std::uint32_t ring_;
    std::vector<std::uint8_t> data_;
    std::chrono::steady_clock::time_point start_{};
    std::uint64_t captured_ = 0;
    bool running_ = false;
    bool locked_ = false;
    std::uint64_t frozen_ = 0;
};

class FakeCaptureDevice final : public platform::CaptureDevice {
public:
    explicit FakeCaptureDevice(FakeSoundState& state) : state_(state) { ++state_.liveObjects; }
    ~FakeCaptureDevice() override { --state_.liveObjects; }
    platform::SoundResult
    CreateCaptureBuffer(const platform::WaveFormat& format, std::uint32_t ringBytes,
                        std::unique_ptr<platform::CaptureBuffer>* buffer) override {
        state_.lastRingBytes = ringBytes;
        if (platform::Failed(state_.createBufferResult))
            return state_.createBufferResult;
        *buffer = std::make_unique<FakeCaptureBuffer>(state_, format, ringBytes);
        return platform::DS_OK;
    }

private:
    FakeSoundState& state_;
};

class FakeSoundSystem final : public platform::SoundSystem {
public:
    FakeSoundState state;

    platform::SoundResult EnumerateCaptureDevices(const DeviceCallback& callback) override {
        for (std::size_t i = 0; i < state.devices.size(); ++i) {
            platform::SoundDeviceId id{};
            id[0] = static_cast<std::uint8_t>(i);
            if (!callback(i == 0 ? nullptr : &id, state.devices[i].c_str()))
                break;
        }
        return platform::DS_OK;
    }
    platform::SoundResult
    CreateCaptureDevice(const platform::SoundDeviceId&,
                        std::unique_ptr<platform::CaptureDevice>* device) override {
        if (platform::Failed(state.createDeviceResult))
            return state.createDeviceResult;
        *device = std::make_unique<FakeCaptureDevice>(state);
        return platform::DS_OK;
    }
    platform::SoundResult
    CreatePlaybackDevice(const platform::SoundDeviceId&,
                         std::unique_ptr<platform::PlaybackDevice>*) override {
        return platform::DSERR_NODRIVER;
    }
};

} // namespace audio::test
