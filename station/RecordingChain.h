// The recording chain that both pages own (capture -> gain indicator -> MP3 file) with the settings
// the pages record with, and the level meter that the indicator drives.
#pragma once

#include "audio/Component.h"

#include <cstdint>
#include <string>

namespace audio {
class TDSAudioIn;
class TGainIndicator;
class TMP3Out;
} // namespace audio

namespace controls {
class ProgressBar;
}

// Where the pages' chains differ: the capture latency and polling, the indicator's report interval,
// the encoder's frame checksum and the placeholder file name (replaced before every start).
struct TRecordingChainSettings {
    std::uint32_t Latency;
    std::uint32_t PollingInterval;
    std::uint32_t GainInterval;
    bool CRC;
    std::string FileName;
};

// The exam page's chain: 100 ms capture ring, a meter report every 100 ms, frame checksums.
TRecordingChainSettings ExamChainSettings();
// The check's chain: 70 ms capture ring, a meter report every 50 ms.
TRecordingChainSettings CheckChainSettings();

// Creates dxdn1 -> GainIndicator1 -> mp3t1 (44100 Hz, 16 bits, mono, constant 128 kbit/s, the file
// held without sharing) with the given settings. No handler is set.
void CreateRecordingChain(const TRecordingChainSettings& Settings,
                          audio::TComponentPtr<audio::TDSAudioIn>& dxdn1,
                          audio::TComponentPtr<audio::TGainIndicator>& GainIndicator1,
                          audio::TComponentPtr<audio::TMP3Out>& mp3t1);

// Moves `Meter` for the indicator's latest loudness figure (NextMeterPosition).
void ShowGainOnMeter(controls::ProgressBar& Meter, const audio::TGainIndicator& Indicator);
