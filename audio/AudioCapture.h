// The capture source at the head of a recording chain. There is no capture thread: each read
// sleeps one polling interval, asks the device how many bytes have arrived and copies them out of
// the device's looping ring into a block buffer of its own, from which it serves the readers.
#pragma once

#include "audio/AudioInput.h"
#include "audio/DSWrapper.h"
#include "audio/EventSlot.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

namespace audio {

class TDSAudioIn : public TAudioInput {
public:
    // The device list is filled here, once; devices that appear later are not seen.
    explicit TDSAudioIn(platform::SoundSystem& System = platform::DefaultSoundSystem());
    ~TDSAudioIn() override;

    std::int32_t DeviceNumber() const { return FDeviceNumber; }
    void SetDeviceNumber(std::int32_t Value) { FDeviceNumber = Value; }
    std::uint32_t InBitsPerSample() const { return FInBitsPerSample; }
    void SetInBitsPerSample(std::uint32_t Value) { FInBitsPerSample = Value; }
    std::uint32_t InChannels() const { return FInChannels; }
    void SetInChannels(std::uint32_t Value) { FInChannels = Value; }
    std::uint32_t InSampleRate() const { return FInSampleRate; }
    void SetInSampleRate(std::uint32_t Value) { FInSampleRate = Value; }
    // Milliseconds; when not 0, opening derives FramesInBuffer and PollingInterval from it.
    std::uint32_t Latency() const { return FLatency; }
    void SetLatency(std::uint32_t Value) { FLatency = Value; }
    std::uint32_t FramesInBuffer() const { return FFramesInBuffer; }
    // Ignored while the component is open.
    void SetFramesInBuffer(std::uint32_t Value);
    std::uint32_t PollingInterval() const { return FPollingInterval; }
    void SetPollingInterval(std::uint32_t Value) { FPollingInterval = Value; }
    // Seconds to record; negative: without limit. Sets SamplesToRead at once.
    std::int32_t RecTime() const { return FRecTime; }
    void SetRecTime(std::int32_t Value);
    std::int64_t SamplesToRead() const { return FSamplesToRead; }
    void SetSamplesToRead(std::int64_t Value) { FSamplesToRead = Value; }
    // Also plays the captured sound on the default playback device; may change while recording.
    bool EchoRecording() const { return FEchoRecording; }
    void SetEchoRecording(bool Value) { FEchoRecording = Value; }

    // Raised (through the event thread, on the GUI thread) when captured bytes were lost.
    TEventSlot OnOverrun;
    // Overruns since construction.
    std::uint32_t OverrunCount() const { return FOverrunCount; }
    // The devices listed at construction.
    const TCaptureDeviceList& Devices() const { return FDevices; }

    std::uint32_t GetBitsPerSample() const override { return FInBitsPerSample; }
    std::uint32_t GetChannels() const override { return FInChannels; }
    std::uint32_t GetSampleRate() const override { return FInSampleRate; }
    std::uint32_t GetDuration() const override;
    std::int64_t GetSampleCount() const override { return FSamplesToRead; }

    // How long a read waits for a device that delivers nothing before it fails.
    static constexpr std::chrono::seconds StalledDeviceLimit{5};
    void PauseInput() override;
    void ResumeInput() override;

protected:
    void DoOpen() override;
    void DoClose() override;
    void DoReadBlock(const void*& Buffer, std::uint32_t& Bytes) override;

private:
    void PrepareDevice();
    void ReleaseDevice();
    void FillWindow();
    [[noreturn]] void InputFailed(SoundResult Result);

    platform::SoundSystem& FSystem;
    TCaptureDeviceList FDevices;
    int FDeviceCount = 0; // taken with the list; what opening checks against

    // Properties: written on the GUI thread while closed, read on the reading worker.
    std::atomic<std::int32_t> FDeviceNumber{0};
    std::atomic<std::uint32_t> FInBitsPerSample{8};
    std::atomic<std::uint32_t> FInChannels{1};
    std::atomic<std::uint32_t> FInSampleRate{8000};
    std::atomic<std::uint32_t> FLatency{100};
    std::atomic<std::uint32_t> FFramesInBuffer{24576};
    std::atomic<std::uint32_t> FPollingInterval{100};
    std::atomic<std::int32_t> FRecTime{-1};
    std::atomic<std::int64_t> FSamplesToRead{-1};
    std::atomic<bool> FEchoRecording{false};

    // Used on the reading worker only.
    TSoundLink FLink;
    std::vector<std::uint8_t> FBlockBuffer;
    std::uint32_t FRingSize = 0;
    int FOpenCount = 0;
    bool FEchoActive = false;
    std::atomic<std::uint32_t> FOverrunCount{0};
};

} // namespace audio
