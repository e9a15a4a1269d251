#include "audio/AudioCapture.h"

#include "audio/AudioException.h"
#include "audio/EventHandler.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace audio {

namespace {

// What a failed answer of the sound layer means for the operator: `running` when the capture was
// already delivering, so that an invalidated device is one that went away under it.
platform::FailureCause CaptureCause(SoundResult result, bool running) {
    if (result == platform::DSERR_NODRIVER)
        return {platform::FailureKind::NoSoundServer, 0};
    if (running && result == platform::AUDCLNT_E_DEVICE_INVALIDATED)
        return {platform::FailureKind::MicrophoneGone, 0};
    return {platform::FailureKind::NoMicrophone, 0};
}

} // namespace

TDSAudioIn::TDSAudioIn(platform::SoundSystem& System) : FSystem(System) {
    FSize = -1;
    ListCaptureDevices(FSystem, FDevices);
    FDeviceCount = FDevices.Count;
}

TDSAudioIn::~TDSAudioIn() {
    ReleaseDevice();
}

void TDSAudioIn::SetFramesInBuffer(std::uint32_t Value) {
    if (!FBusy)
        FFramesInBuffer = Value;
}

void TDSAudioIn::SetRecTime(std::int32_t Value) {
    FRecTime = Value;
    FSamplesToRead = Value < 0 ? -1 : std::int64_t(Value) * std::int64_t(FInSampleRate.load());
}

std::uint32_t TDSAudioIn::GetDuration() const {
    const std::int64_t samples = FSamplesToRead;
    const std::uint32_t rate = FInSampleRate;
    if (samples < 0 || rate == 0)
        return 0;
    return static_cast<std::uint32_t>(samples / rate);
}

void TDSAudioIn::DoOpen() {
    if (FBusy)
        throw EAudioException("The component is busy");
    if (FDeviceNumber < 0 || FDeviceNumber >= FDeviceCount)
        throw EAudioException("Invalid device number", {platform::FailureKind::NoMicrophone, 0});
    if (FRecTime > 0)
        FSamplesToRead = std::int64_t(FRecTime) * std::int64_t(FInSampleRate.load());
    FBufferEnd = 0;
    FBufferStart = 1;
    FPosition = 0;
    FBusy = true;
    FFrameSize = static_cast<std::uint16_t>((FInChannels * FInBitsPerSample) / 8);
    FSize = FSamplesToRead > 0 ? FSamplesToRead * FFrameSize : -1;
    PrepareDevice();
    if (const SoundResult result = StartCaptureRing(FLink); platform::Failed(result)) {
        // Nothing would ever arrive: fail now rather than poll a stopped device.
        if (FOpenCount == 1) {
            ReleaseDevice();
            FOpenCount = 0;
        }
        throw EAudioException(std::string("Failed to create DirectSound device: ") +
                                  DSErrorName(result),
                              CaptureCause(result, false));
    }
    if (FEchoRecording) {
        const auto format = platform::PcmFormat(FInBitsPerSample, FInChannels, FInSampleRate);
        const TCaptureDeviceEntry& entry = FDevices.Devices[std::size_t(FDeviceNumber.load())];
        if (platform::Failed(StartEcho(FSystem, entry, FLink, format, FRingSize))) {
            FLink.SecondaryBuffer.reset();
            FLink.PrimaryBuffer.reset();
            FLink.PlaybackDevice.reset();
            FLink.Playing = false;
            FEchoRecording = false;
        }
    }
    FEchoActive = FEchoRecording;
}

void TDSAudioIn::PrepareDevice() {
    if (FOpenCount == 0) {
        if (FLatency != 0) {
            if (FLatency < 10)
                FLatency = 10;
            FFramesInBuffer = static_cast<std::uint32_t>(FLatency * FInSampleRate / 1000u);
            FPollingInterval = FLatency / 2;
        }
        ReleaseDevice();
        FLink = TSoundLink{};
        const TCaptureDeviceEntry& entry = FDevices.Devices[std::size_t(FDeviceNumber.load())];
        if (const SoundResult result = OpenCaptureDevice(FSystem, entry, FLink);
            platform::Failed(result))
            throw EAudioException(std::string("Failed to create DirectSound device: ") +
                                      DSErrorName(result),
                                  CaptureCause(result, false));
        FRingSize = (FInBitsPerSample / 8) * FFramesInBuffer * FInChannels;
        FBlockBuffer.assign(FRingSize, 0);
        const auto format = platform::PcmFormat(FInBitsPerSample, FInChannels, FInSampleRate);
        if (platform::Failed(MakeCaptureRing(FLink, format, FRingSize))) {
            // Nothing of a failed first open stays behind.
            ReleaseDevice();
            throw EAudioException("Failed to create DirectSound buffer",
                                  {platform::FailureKind::NoMicrophone, 0});
        }
    }
    ++FOpenCount;
}

void TDSAudioIn::ReleaseDevice() {
    CloseSoundLink(FLink);
    FBlockBuffer.clear();
    FBlockBuffer.shrink_to_fit();
}

void TDSAudioIn::DoClose() {
    StopCaptureRing(FLink);
    if (FEchoActive) {
        FLink.Playing = false;
        if (FLink.SecondaryBuffer)
            FLink.SecondaryBuffer->Stop();
    }
    if (FOpenCount == 1)
        ReleaseDevice();
    if (FOpenCount > 0)
        --FOpenCount;
    FBusy = false;
}

void TDSAudioIn::InputFailed(SoundResult Result) {
    FBufferStart = 0;
    FBufferEnd = 0;
    char message[64];
    std::snprintf(message, sizeof message, "Input failed: DirectSound error 0x%x",
                  static_cast<unsigned>(Result));
    throw EAudioException(message, CaptureCause(Result, true));
}

void TDSAudioIn::FillWindow() {
    FBufferStart = 0;
    FBufferEnd = 0;
    std::uint32_t waiting = 0;
    const auto lookStart = std::chrono::steady_clock::now();
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(FPollingInterval.load()));
        if (const SoundResult result = CapturedBytes(FLink, waiting); platform::Failed(result))
            InputFailed(result);
        // A device that delivers nothing at all would hold the recording (and a synchronous stop
        // waiting for it) for ever; after a long silence of the device the pass fails instead.
        if (waiting == 0 && std::chrono::steady_clock::now() - lookStart > StalledDeviceLimit)
            InputFailed(platform::DSERR_GENERIC);
    } while (waiting == 0);

    std::uint32_t taken = 0;
    SoundResult result;
    if (OverrunRecognised(FLink, waiting, std::chrono::steady_clock::now())) {
        result = TakeWholeRing(FLink, FBlockBuffer.data(), taken);
        ++FOverrunCount;
        PostEvent(this, OnOverrun);
    } else {
        result = TakeCaptured(FLink, FBlockBuffer.data(), waiting, taken);
    }
    if (platform::Failed(result))
        InputFailed(result);
    FBufferEnd = taken;
    if (FEchoActive) {
        // Muted echo keeps the playback ring served with silence.
        if (FEchoRecording)
            FeedEcho(FLink, FBlockBuffer.data(), taken);
        else
            FeedEcho(FLink, nullptr, FLink.PlaySize);
    }
}

void TDSAudioIn::DoReadBlock(const void*& Buffer, std::uint32_t& Bytes) {
    if (!FBusy)
        throw EAudioException("The Stream is not opened");
    const std::int64_t size = FSize;
    if (FSamplesToRead >= 0 && FPosition >= size) {
        Buffer = nullptr;
        Bytes = 0;
        return;
    }
    if (FBufferStart >= FBufferEnd)
        FillWindow();
    std::uint32_t count = std::min(Bytes, FBufferEnd - FBufferStart);
    const std::int64_t position = FPosition;
    if (size > 0 && size - position < std::int64_t(count))
        count = static_cast<std::uint32_t>(size - position);
    Buffer = FBlockBuffer.data() + FBufferStart;
    Bytes = count;
    FBufferStart += count;
    FPosition = position + count;
}

void TDSAudioIn::PauseInput() {
    StopCaptureRing(FLink);
    if (FEchoActive)
        StopEcho(FLink);
}

void TDSAudioIn::ResumeInput() {
    StartCaptureRing(FLink);
    if (FEchoActive)
        ResumeEcho(FLink);
}

} // namespace audio
