// The capture source at the head of a recording chain. There is no capture thread of its own: the
// device's ring is filled by the sound layer, and each read waits until a polling interval's worth
// of sound has arrived (the sound layer wakes it; at most one interval), asks the device how many
// bytes have arrived and copies them out of the ring into a block buffer of its own, from which it
// serves the readers. A reader held up (by a slow disk, say) loses nothing as
// long as the ring holds what arrives meanwhile; what it could not hold is counted, not guessed.
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

    // Raised (through the event thread, on the GUI thread) when sound of the running pass was lost:
    // overwritten in the ring before it was read, dropped by the sound server, or never delivered
    // by a device that stalled. Raised as the loss is found, which need not wait for the reader.
    TEventSlot OnOverrun;
    // Losses told since construction (losses found while the last was on its way count with it).
    std::uint32_t OverrunCount() const { return FOverrunCount; }
    // Frames lost in the current pass, or in the last one once it is closed. Counted where they
    // were lost when the device can count them (see platform::CaptureBuffer::LostBytes); a device
    // that cannot is judged by the clock, in whole rings. Any thread.
    std::int64_t LostFrames() const;

    // While set, closing a pass leaves the capture running, so that the next pass's first frame
    // is the one after the last frame this pass delivered: nothing falls between two passes. The
    // next open continues only when the format and device are the same and the device is still
    // delivering, otherwise it starts the capture afresh; when sound was lost in between, it
    // begins with the sound captured from its opening on. May be set while a pass runs; it is read
    // when the pass closes.
    bool KeepCapture() const { return FKeepCapture; }
    void SetKeepCapture(bool Value) { FKeepCapture = Value; }
    // Opens the capture and leaves it running as a closed pass would with KeepCapture, before any
    // pass reads it: the sound server then delivers at this capture's own pace by the time the next
    // pass opens. A stream that joins a source another program holds at a long latency waits up
    // to that latency for its first sound, and the sound of that wait may never come. The next
    // pass begins with the sound captured from its own opening on; what came before is dropped,
    // and is no loss of that pass. Raises EAudioException as opening a pass does; nothing while a
    // pass is open or a capture is kept. Released as a kept capture is.
    void OpenCapture();
    // Ends a capture that a pass left running; nothing while a pass is open, opening or closing.
    // Any thread; never waits.
    void ReleaseCapture();
    // Whether a closed pass left the capture running.
    bool CaptureKept() const { return FCaptureKept; }
    // The devices listed at construction.
    const TCaptureDeviceList& Devices() const { return FDevices; }

    std::uint32_t GetBitsPerSample() const override { return FInBitsPerSample; }
    std::uint32_t GetChannels() const override { return FInChannels; }
    std::uint32_t GetSampleRate() const override { return FInSampleRate; }
    std::uint32_t GetDuration() const override;
    std::int64_t GetSampleCount() const override { return FSamplesToRead; }

    // How long a read waits for a device that delivers nothing before it fails.
    static constexpr std::chrono::seconds StalledDeviceLimit{5};
    // How much later than its pass's start a new stream's first sound may begin before the
    // difference counts as lost: a server's first delivery normally takes a period or two.
    static constexpr std::chrono::milliseconds FirstSoundAllowance{200};
    void PauseInput() override;
    void ResumeInput() override;
    bool StopAtCaptured() override;

protected:
    void DoOpen() override;
    void DoClose() override;
    void DoReadBlock(const void*& Buffer, std::uint32_t& Bytes) override;

private:
    void PrepareDevice();
    void ReleaseDevice();
    // Starts the device's ring; on failure releases a device opened for it and raises.
    void StartCapture();
    // Takes up the capture the last pass left running; false when it cannot be continued (it is
    // then released).
    bool ContinueKeptCapture();
    // Drops what the running capture gathered before now, `Waiting` bytes by the last look.
    void DropCaptured(std::uint32_t Waiting);
    // Waits for sound and takes all that waits; false, at once, when a stop at the captured sound
    // finds nothing more.
    bool FillWindow();
    [[noreturn]] void InputFailed(SoundResult Result);
    // Counts `Bytes` lost by this pass and tells it.
    void CountOwnLoss(std::uint64_t Bytes);
    void TellLoss();
    std::int64_t PassLostBytes() const;

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
    bool FPassFailed = false;
    std::atomic<bool> FStopAtCaptured{false};
    std::uint32_t FCapturedLeft = 0; // what a stop at the captured sound still takes
    std::atomic<std::uint32_t> FOverrunCount{0};
    std::atomic<bool> FLossTold{false}; // an OnOverrun is on its way

    // Keeping the capture between passes: the flag is the GUI thread's; the rest is under DataLock.
    std::atomic<bool> FKeepCapture{false};
    std::atomic<bool> FCaptureKept{false};
    struct TKeptFormat {
        std::int32_t Device;
        std::uint32_t Bits, Channels, Rate;
        bool operator==(const TKeptFormat&) const = default;
    };
    TKeptFormat FKeptFormat{};
    bool FKeptBeforeAnyPass = false; // opened by OpenCapture: the next pass begins at its opening

    // A stream that has yet to deliver its first sound: the pass began at FAwaitSince, and a first
    // delivery shorter than the time since then leaves the difference in no file.
    bool FAwaitFirstSound = false;
    std::chrono::steady_clock::time_point FAwaitSince{};
    void CountFirstSoundWait(std::uint32_t Taken);

    // Loss accounting. The device's own count since it was made (written by its loss handler), the
    // count when this pass opened and when the last pass closed, and what the reader itself found.
    std::atomic<std::uint64_t> FDeviceLost{0};
    std::atomic<std::uint64_t> FDeviceLostAtOpen{0};
    std::atomic<std::uint64_t> FDeviceLostAtClose{0};
    std::atomic<std::uint64_t> FOwnLost{0};
    std::atomic<std::int64_t> FLastPassLost{0}; // bytes, frozen at the close
};

} // namespace audio
