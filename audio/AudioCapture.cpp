#include "audio/AudioCapture.h"

#include "audio/AudioException.h"
#include "audio/EventHandler.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>

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
    FPosition = 0;
    FPassFailed = false;
    FStopAtCaptured = false;
    FOwnLost = 0;
    FLossTold = false;
    FFrameSize = static_cast<std::uint16_t>((FInChannels * FInBitsPerSample) / 8);
    FSize = FSamplesToRead > 0 ? FSamplesToRead * FFrameSize : -1;
    if (ContinueKeptCapture()) {
        // What the last pass left unread in the block buffer comes first.
        FDeviceLostAtOpen = FDeviceLost.load();
        FBusy = true;
        return;
    }
    FBufferEnd = 0;
    FBufferStart = 1;
    FBusy = true;
    FAwaitFirstSound = true;
    FAwaitSince = std::chrono::steady_clock::now();
    PrepareDevice();
    FDeviceLostAtOpen = FDeviceLost.load();
    try {
        StartCapture();
    } catch (...) {
        FBusy = false;
        throw;
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

void TDSAudioIn::StartCapture() {
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
}

void TDSAudioIn::OpenCapture() {
    std::lock_guard guard(FDataLock);
    if (FBusy || FCaptureKept)
        return;
    if (FDeviceNumber < 0 || FDeviceNumber >= FDeviceCount)
        throw EAudioException("Invalid device number", {platform::FailureKind::NoMicrophone, 0});
    FEchoActive = false;
    PrepareDevice();
    StartCapture();
    FBufferStart = 0;
    FBufferEnd = 0;
    FDeviceLostAtClose = FDeviceLost.load();
    FKeptBeforeAnyPass = true;
    FCaptureKept = true;
    FAwaitFirstSound = true;
}

bool TDSAudioIn::ContinueKeptCapture() {
    if (!FCaptureKept)
        return false;
    FCaptureKept = false;
    const bool fromNow = std::exchange(FKeptBeforeAnyPass, false);
    const TKeptFormat now{FDeviceNumber, FInBitsPerSample, FInChannels, FInSampleRate};
    std::uint32_t waiting = 0;
    const bool delivering = !platform::Failed(CapturedBytes(FLink, waiting));
    const bool whole = FDeviceLost == FDeviceLostAtClose && delivering &&
                       !OverrunRecognised(FLink, waiting, std::chrono::steady_clock::now());
    // Sound lost while no pass read it breaks the line between the two files: the new one begins
    // at its opening rather than join across a gap. A fresh stream would be no better: it may
    // wait a long source period for its first sound.
    if (now == FKeptFormat && delivering) {
        if (fromNow || !whole)
            DropCaptured(waiting);
        // A stream opened ahead that has still delivered nothing owes this pass its sound from now.
        FAwaitFirstSound = FAwaitFirstSound && waiting == 0;
        FAwaitSince = std::chrono::steady_clock::now();
        return true;
    }
    StopCaptureRing(FLink);
    ReleaseDevice();
    FOpenCount = 0;
    return false;
}

void TDSAudioIn::DropCaptured(std::uint32_t Waiting) {
    FBufferStart = 0;
    FBufferEnd = 0;
    // A device that fails here fails the pass's first read, which tells it.
    std::uint32_t taken = 0;
    if (OverrunRecognised(FLink, Waiting, std::chrono::steady_clock::now()))
        TakeWholeRing(FLink, FBlockBuffer.data(), taken);
    else if (Waiting > 0)
        TakeCaptured(FLink, FBlockBuffer.data(), Waiting, taken);
}

void TDSAudioIn::ReleaseCapture() {
    // Never waits for a pass that is opening or closing (its close may wait for the device): the
    // capture is then that pass's, and its own close decides.
    std::unique_lock guard(FDataLock, std::try_to_lock);
    if (!guard.owns_lock() || FBusy || !FCaptureKept)
        return;
    FCaptureKept = false;
    FKeptBeforeAnyPass = false;
    StopCaptureRing(FLink);
    ReleaseDevice();
    FOpenCount = 0;
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
        FDeviceLost = 0;
        FDeviceLostAtClose = 0;
        platform::CaptureBuffer* buffer = FLink.CaptureBuffer.get();
        buffer->SetLossHandler([this, buffer] {
            if (const std::optional<std::uint64_t> lost = buffer->LostBytes())
                FDeviceLost = *lost;
            // A capture kept between passes counts what it loses meanwhile, but that is no pass's.
            if (FBusy)
                TellLoss();
        });
        FKeptFormat = {FDeviceNumber, FInBitsPerSample, FInChannels, FInSampleRate};
    }
    ++FOpenCount;
}

void TDSAudioIn::ReleaseDevice() {
    CloseSoundLink(FLink);
    FBlockBuffer.clear();
    FBlockBuffer.shrink_to_fit();
}

void TDSAudioIn::DoClose() {
    FLastPassLost = PassLostBytes();
    if (FKeepCapture && !FPassFailed && !FEchoActive && FOpenCount == 1 && FLink.CaptureBuffer) {
        // The ring goes on filling; the next pass takes up at the first frame not yet delivered.
        FDeviceLostAtClose = FDeviceLost.load();
        FCaptureKept = true;
        FBusy = false;
        return;
    }
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

std::int64_t TDSAudioIn::PassLostBytes() const {
    return static_cast<std::int64_t>(FDeviceLost - FDeviceLostAtOpen + FOwnLost);
}

std::int64_t TDSAudioIn::LostFrames() const {
    const std::int64_t bytes = FBusy ? PassLostBytes() : FLastPassLost.load();
    const std::int64_t frame = std::int64_t{FInChannels} * FInBitsPerSample / 8;
    return frame > 0 ? bytes / frame : 0;
}

void TDSAudioIn::CountOwnLoss(std::uint64_t Bytes) {
    FOwnLost += Bytes;
    TellLoss();
}

void TDSAudioIn::TellLoss() {
    // A ring that overruns loses again at every fill; the handler hears once per loss it can
    // still act on, and reads the amount when it runs, so no later part of the loss goes untold.
    if (!OnOverrun.Assigned()) {
        ++FOverrunCount;
        return;
    }
    if (FLossTold.exchange(true))
        return;
    ++FOverrunCount;
    PostEvent(this, [this](TComponent* Sender) {
        FLossTold = false;
        OnOverrun(Sender);
    });
}

void TDSAudioIn::InputFailed(SoundResult Result) {
    FPassFailed = true;
    FBufferStart = 0;
    FBufferEnd = 0;
    char message[64];
    std::snprintf(message, sizeof message, "Input failed: DirectSound error 0x%x",
                  static_cast<unsigned>(Result));
    throw EAudioException(message, CaptureCause(Result, true));
}

bool TDSAudioIn::StopAtCaptured() {
    std::lock_guard guard(FDataLock);
    // What waits now, and no more: a reader slower than the sound would otherwise chase it for
    // ever.
    std::uint32_t waiting = 0;
    if (!FBusy || platform::Failed(CapturedBytes(FLink, waiting)))
        waiting = 0;
    FCapturedLeft = waiting;
    FStopAtCaptured = true;
    return true;
}

bool TDSAudioIn::FillWindow() {
    FBufferStart = 0;
    FBufferEnd = 0;
    std::uint32_t waiting = 0;
    const auto lookStart = std::chrono::steady_clock::now();
    if (FStopAtCaptured) {
        if (const SoundResult result = CapturedBytes(FLink, waiting); platform::Failed(result))
            InputFailed(result);
        waiting = std::min(waiting, FCapturedLeft);
        FCapturedLeft -= waiting;
        if (waiting == 0)
            return false;
    }
    // A look takes a polling interval's worth of sound: the wait ends as soon as that much has
    // arrived. A server that is late by a little is waited for, so that every look holds a whole
    // interval (the meter reports once per interval of sound it is handed); after two intervals
    // the look takes what there is. A layer that cannot tell when sound arrives is polled.
    const std::uint32_t interval = FPollingInterval.load();
    const std::uint32_t lookBytes = std::clamp<std::uint32_t>(
        static_cast<std::uint32_t>(std::uint64_t(FInSampleRate) * interval / 1000) * FFrameSize,
        FFrameSize, std::max<std::uint32_t>(FRingSize, FFrameSize));
    while (waiting == 0) {
        if (!FLink.CaptureBuffer->WaitForCaptured(lookBytes,
                                                  std::chrono::milliseconds(2 * interval)))
            std::this_thread::sleep_for(std::chrono::milliseconds(interval));
        if (const SoundResult result = CapturedBytes(FLink, waiting); platform::Failed(result))
            InputFailed(result);
        // A device that delivers nothing at all would hold the recording (and a synchronous stop
        // waiting for it) for ever; after a long silence of the device the pass fails instead,
        // and the time since it last delivered is sound this pass lost.
        if (const auto now = std::chrono::steady_clock::now();
            waiting == 0 && now - lookStart > StalledDeviceLimit) {
            const double silent = std::chrono::duration<double>(now - FLink.LastTake).count();
            const auto frames = static_cast<std::uint64_t>(silent * FInSampleRate);
            CountOwnLoss(frames * FFrameSize);
            InputFailed(platform::DSERR_GENERIC);
        }
    }

    std::uint32_t taken = 0;
    SoundResult result;
    if (const auto now = std::chrono::steady_clock::now(); OverrunRecognised(FLink, waiting, now)) {
        // A device that counts its losses has told them already; for one that cannot, the clock
        // says how many whole rings went by unread.
        if (!FLink.CaptureBuffer->LostBytes())
            CountOwnLoss(LostRingBytes(FLink, waiting, now));
        result = TakeWholeRing(FLink, FBlockBuffer.data(), taken);
    } else {
        result = TakeCaptured(FLink, FBlockBuffer.data(), waiting, taken);
    }
    if (platform::Failed(result))
        InputFailed(result);
    FBufferEnd = taken;
    CountFirstSoundWait(taken);
    if (FEchoActive) {
        // Muted echo keeps the playback ring served with silence.
        if (FEchoRecording)
            FeedEcho(FLink, FBlockBuffer.data(), taken);
        else
            FeedEcho(FLink, nullptr, FLink.PlaySize);
    }
    return true;
}

// A stream opened while another program holds the source at a long latency may get its first
// sound only at the source's next period, and the sound of the wait never comes: what the first
// delivery lacks of the time since the pass began is in no file, and the operator is told.
void TDSAudioIn::CountFirstSoundWait(std::uint32_t Taken) {
    if (!FAwaitFirstSound || Taken == 0)
        return;
    FAwaitFirstSound = false;
    const double waited =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - FAwaitSince).count();
    const double delivered = double(Taken) / (double(FInSampleRate) * FFrameSize);
    const double allowance = std::chrono::duration<double>(FirstSoundAllowance).count();
    if (waited - delivered > allowance)
        CountOwnLoss(static_cast<std::uint64_t>((waited - delivered) * FInSampleRate) * FFrameSize);
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
    if (FBufferStart >= FBufferEnd && !FillWindow()) {
        Buffer = nullptr;
        Bytes = 0;
        return;
    }
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
