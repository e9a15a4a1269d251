#include "station/core/Recorder.h"

#include "audio/AudioCapture.h"
#include "audio/AudioIndicators.h"
#include "audio/AudioMP3.h"
#include "station/LevelMeter.h"

namespace station {

RecordingChainSettings ExamChainSettings() {
    return {.latency = 100,
            .pollingInterval = 100,
            .gainInterval = 100,
            .crc = true,
            .fileName = "exam01.mp3"};
}

RecordingChainSettings CheckChainSettings() {
    return {.latency = 70,
            .pollingInterval = 80,
            .gainInterval = 50,
            .crc = false,
            .fileName = "test01.mp3"};
}

Recorder::Recorder(const RecordingChainSettings& settings, platform::SoundSystem& sound,
                   RecorderEvents events)
    : events_(std::move(events)) {
    capture_ = audio::MakeComponent<audio::TDSAudioIn>(sound);
    capture_->SetDeviceNumber(0);
    capture_->SetInSampleRate(44100);
    capture_->SetInBitsPerSample(16);
    capture_->SetInChannels(1);
    capture_->SetLatency(settings.latency);
    capture_->SetPollingInterval(settings.pollingInterval);
    capture_->SetFramesInBuffer(12000);
    capture_->SetSamplesToRead(-1);
    capture_->SetRecTime(-1);
    capture_->SetEchoRecording(false);

    indicator_ = audio::MakeComponent<audio::TGainIndicator>();
    indicator_->SetInput(capture_.get());
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

    indicator_->OnGainData = [this](audio::TComponent*) {
        meterPosition_ = NextMeterPosition(meterPosition_, indicator_->GainValue());
        if (events_.levelChanged)
            events_.levelChanged(meterPosition_);
    };
    if (events_.failed)
        output_->OnThreadException = [this](audio::TComponent*) { events_.failed(); };
    if (events_.finished)
        output_->OnSyncDone = [this](audio::TComponent*) { events_.finished(output_->FileName()); };
}

Recorder::~Recorder() {
    // Finished while the handlers' owner is whole: the last events still reach it.
    output_->Stop(false);
}

void Recorder::Start(const std::string& fileName) {
    output_->SetFileName(fileName);
    output_->Run();
}

void Recorder::Stop(AfterStop after) {
    (void)after;
    output_->Stop(false);
}

void Recorder::RequestStop() {
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

std::string Recorder::FileName() const {
    return output_->FileName();
}

std::string Recorder::FailureText() const {
    return output_->ExceptionText();
}

platform::FailureCause Recorder::CauseOfFailure() const {
    return output_->ExceptionCause();
}

std::chrono::milliseconds Recorder::RecordedDuration() const {
    const std::int64_t bytesPerSecond = std::int64_t{capture_->InSampleRate()} *
                                        capture_->InChannels() * capture_->InBitsPerSample() / 8;
    if (bytesPerSecond <= 0)
        return std::chrono::milliseconds(0);
    return std::chrono::milliseconds(capture_->Position() * 1000 / bytesPerSecond);
}

std::chrono::milliseconds Recorder::LostDuration() const {
    return std::chrono::milliseconds(0);
}

void Recorder::ResetMeter() {
    meterPosition_ = 0;
}

} // namespace station
