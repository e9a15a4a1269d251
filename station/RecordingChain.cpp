#include "station/RecordingChain.h"

#include "audio/AudioCapture.h"
#include "audio/AudioIndicators.h"
#include "audio/AudioMP3.h"
#include "controls/ProgressBar.h"
#include "station/LevelMeter.h"

TRecordingChainSettings ExamChainSettings() {
    return {.Latency = 100,
            .PollingInterval = 100,
            .GainInterval = 100,
            .CRC = true,
            .FileName = "exam01.mp3"};
}

TRecordingChainSettings CheckChainSettings() {
    return {.Latency = 70,
            .PollingInterval = 80,
            .GainInterval = 50,
            .CRC = false,
            .FileName = "test01.mp3"};
}

void CreateRecordingChain(const TRecordingChainSettings& Settings,
                          audio::TComponentPtr<audio::TDSAudioIn>& dxdn1,
                          audio::TComponentPtr<audio::TGainIndicator>& GainIndicator1,
                          audio::TComponentPtr<audio::TMP3Out>& mp3t1) {
    dxdn1 = audio::MakeComponent<audio::TDSAudioIn>();
    dxdn1->SetDeviceNumber(0);
    dxdn1->SetInSampleRate(44100);
    dxdn1->SetInBitsPerSample(16);
    dxdn1->SetInChannels(1);
    dxdn1->SetLatency(Settings.Latency);
    dxdn1->SetPollingInterval(Settings.PollingInterval);
    dxdn1->SetFramesInBuffer(12000);
    dxdn1->SetSamplesToRead(-1);
    dxdn1->SetRecTime(-1);
    dxdn1->SetEchoRecording(false);

    GainIndicator1 = audio::MakeComponent<audio::TGainIndicator>();
    GainIndicator1->SetInput(dxdn1.get());
    GainIndicator1->SetInterval(Settings.GainInterval);

    mp3t1 = audio::MakeComponent<audio::TMP3Out>();
    mp3t1->SetInput(GainIndicator1.get());
    mp3t1->SetFileName(Settings.FileName);
    mp3t1->SetShareMode(0);
    mp3t1->SetBitRate(audio::TMP3BitRate::mbr128);
    mp3t1->SetCRC(Settings.CRC);
    mp3t1->SetEnableVBR(false);
    mp3t1->SetVBRQuality(audio::TMP3Quality::mp3ql0);
    mp3t1->SetAverageBitrate(audio::TMP3BitRate::mbrAuto);
    mp3t1->SetMaximumBitrate(audio::TMP3BitRate::mbrAuto);
    mp3t1->SetEnableBitReservoir(false);
    mp3t1->SetStrictISO(false);
}

void ShowGainOnMeter(controls::ProgressBar& Meter, const audio::TGainIndicator& Indicator) {
    Meter.SetPosition(NextMeterPosition(Meter.Position(), Indicator.GainValue()));
}
