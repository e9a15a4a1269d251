#include "station/core/Recorder.h"

#include "audio/AudioCapture.h"
#include "audio/AudioIndicators.h"
#include "audio/AudioMP3.h"
#include "station/LevelMeter.h"

namespace station {
namespace {

constexpr std::uint32_t SampleRate = 44100;
// The capture ring is what stands between the sound server and a worker that also encodes and
// writes the file: while a write waits for the disk, the server's thread goes on filling the ring,
// and the worker catches up afterwards. A USB stick, a network home or a failing disk can stall a
// write (or the sync beside it) for seconds; 20 s rides out such stalls with room to spare, for
// 1.7 MB of memory. A disk slower than real time for longer than that loses sound, and that is
// counted and told.
constexpr std::uint32_t CaptureRingSeconds = 20;

} // namespace

// The worker wakes once per meter reading: each wake takes a polling interval of sound.
RecordingChainSettings ExamChainSettings() {
    return {.pollingInterval = 100, .gainInterval = 100, .crc = true, .fileName = "exam01.mp3"};
}

RecordingChainSettings CheckChainSettings() {
    return {.pollingInterval = 50, .gainInterval = 50, .crc = false, .fileName = "test01.mp3"};
}

Recorder::Recorder(const RecordingChainSettings& settings, platform::SoundSystem& sound,
                   RecorderEvents events, RecordingChainHooks hooks)
    : events_(std::move(events)), hooks_(std::move(hooks)) {
    capture_ = audio::MakeComponent<audio::TDSAudioIn>(sound);
    capture_->SetDeviceNumber(0);
    capture_->SetInSampleRate(SampleRate);
    capture_->SetInBitsPerSample(16);
    capture_->SetInChannels(1);
    // The ring's size and the reading cadence are set apart: a latency would tie the ring to it.
    capture_->SetLatency(0);
    capture_->SetPollingInterval(settings.pollingInterval);
    capture_->SetFramesInBuffer(CaptureRingSeconds * SampleRate);
    capture_->SetSamplesToRead(-1);
    capture_->SetRecTime(-1);
    capture_->SetEchoRecording(false);

    indicator_ = audio::MakeComponent<audio::TGainIndicator>();
    if (hooks_.afterCapture) {
        hooks_.afterCapture->SetInput(capture_.get());
        indicator_->SetInput(hooks_.afterCapture);
    } else {
        indicator_->SetInput(capture_.get());
    }
    indicator_->SetInterval(settings.gainInterval);

    output_ = audio::MakeComponent<audio::TMP3Out>();
    output_->SetInput(indicator_.get());
    output_->SetFileName(settings.fileName);
    output_->SetShareMode(0);
    output_->SetBitRate(audio::TMP3BitRate::mbr128);
    output_->SetCRC(settings.crc);
    output_->SetEnableVBR(false);
    output_->SetVBRQuality(audio::TMP3Quality::mp3ql0);
    output_->SetAverageBitrate(audio::TMP3BitRate::mbrAuto);
    output_->SetMaximumBitrate(audio::TMP3BitRate::mbrAuto);
    output_->SetEnableBitReservoir(false);
    output_->SetStrictISO(false);
    if (hooks_.syncInterval)
        output_->SetSyncInterval(*hooks_.syncInterval);

    indicator_->OnGainData = [this](audio::TComponent*) {
        meterPosition_ = NextMeterPosition(meterPosition_, indicator_->GainValue());
        if (events_.levelChanged)
            events_.levelChanged(meterPosition_);
    };
    if (events_.failed)
        output_->OnThreadException = [this](audio::TComponent*) { events_.failed(); };
    if (events_.audioLost || hooks_.overrunsCounted)
        capture_->OnOverrun = [this](audio::TComponent*) {
            if (events_.audioLost)
                events_.audioLost(LostDuration());
            if (hooks_.overrunsCounted)
                hooks_.overrunsCounted(capture_->OverrunCount());
        };
    output_->OnSyncDone = [this](audio::TComponent*) {
        if (hooks_.passEnding)
            hooks_.passEnding();
        // A pass that failed before it opened the capture leaves a capture kept by the pass
        // before it running; nothing will take it up unless a stop asked to keep it.
        if (!capture_->KeepCapture())
            capture_->ReleaseCapture();
        if (events_.finished)
            events_.finished(output_->FileName());
        if (hooks_.passEnded)
            hooks_.passEnded();
    };
}

Recorder::~Recorder() {
    // Finished while the handlers' owner is whole: the last events still reach it.
    capture_->SetKeepCapture(false);
    output_->Stop(false);
    capture_->ReleaseCapture();
}

void Recorder::OpenCapture() {
    capture_->OpenCapture();
}

void Recorder::Start(const std::string& fileName) {
    // A kept capture is taken up by this pass; this pass's own end releases it unless its stop
    // asks otherwise.
    capture_->SetKeepCapture(false);
    output_->SetFileName(fileName);
    try {
        output_->Run();
    } catch (...) {
        capture_->ReleaseCapture();
        throw;
    }
}

void Recorder::Stop(AfterStop after) {
    capture_->SetKeepCapture(after == AfterStop::KeepCaptureForNextStart);
    output_->Stop(false);
    if (after == AfterStop::ReleaseCapture)
        capture_->ReleaseCapture();
}

void Recorder::RequestStop() {
    capture_->SetKeepCapture(false);
    output_->Stop(true);
}

bool Recorder::Running() const {
    return output_->Status() == audio::TOutputStatus::tosPlaying;
}

bool Recorder::Busy() const {
    return output_->Busy();
}

bool Recorder::Prepared() const {
    return output_->Prepared();
}

bool Recorder::CaptureKept() const {
    return capture_->CaptureKept();
}

std::string Recorder::FileName() const {
    return output_->FileName();
}

std::string Recorder::FailureText() const {
    return output_->ExceptionText();
}

platform::FailureCause Recorder::CauseOfFailure() const {
    return output_->ExceptionCause();
}

std::chrono::milliseconds Recorder::FramesToDuration(std::int64_t frames) const {
    const std::int64_t rate = capture_->InSampleRate();
    return std::chrono::milliseconds(rate > 0 ? frames * 1000 / rate : 0);
}

std::chrono::milliseconds Recorder::RecordedDuration() const {
    const std::int64_t frameBytes =
        std::int64_t{capture_->InChannels()} * capture_->InBitsPerSample() / 8;
    return FramesToDuration(frameBytes > 0 ? capture_->Position() / frameBytes : 0);
}

std::chrono::milliseconds Recorder::LostDuration() const {
    return FramesToDuration(capture_->LostFrames());
}

void Recorder::ResetMeter() {
    meterPosition_ = 0;
}

} // namespace station
