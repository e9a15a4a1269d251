// One recording chain (capture -> gain indicator -> MP3 file) with the settings it records with,
// and the level meter its indicator drives. Both the exam and the workstation check own one.
#pragma once

#include "audio/Component.h"
#include "platform/FailureCause.h"
#include "station/core/RecordingChainHooks.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace audio {
class TDSAudioIn;
class TGainIndicator;
class TMP3Out;
} // namespace audio

namespace platform {
class SoundSystem;
}

namespace station {

// Where the two chains differ: how often the capture is read, the indicator's report interval,
// the encoder's frame checksum and the placeholder file name (replaced before every start).
struct RecordingChainSettings {
    std::uint32_t pollingInterval;
    std::uint32_t gainInterval;
    bool crc;
    std::string fileName;
};

// The exam's chain: read every 50 ms, a meter report every 100 ms, frame checksums.
RecordingChainSettings ExamChainSettings();
// The check's chain: read every 50 ms, a meter report every 50 ms.
RecordingChainSettings CheckChainSettings();

// What the chain reports. `levelChanged`, `failed` and `audioLost` run on the GUI thread;
// `finished` runs on the recording's worker once the file of a pass is closed, for every pass that
// was started.
struct RecorderEvents {
    std::function<void(std::int64_t meterPosition)> levelChanged;
    std::function<void()> failed;
    std::function<void(const std::string& fileName)> finished;
    // The running pass lost audio (capture ring overrun, the server dropped data, the stream
    // stalled). `lostInPass` is everything lost in this pass so far.
    std::function<void(std::chrono::milliseconds lostInPass)> audioLost;
};

enum class AfterStop { ReleaseCapture, KeepCaptureForNextStart };

class Recorder {
public:
    // 44100 Hz, 16 bits, mono from capture device 0, constant 128 kbit/s, the file held without
    // sharing. `hooks` are a benchmark's; the program gives none.
    Recorder(const RecordingChainSettings& settings, platform::SoundSystem& sound,
             RecorderEvents events, RecordingChainHooks hooks = {});
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Opens the capture and keeps it running without a file, as a stop with
    // KeepCaptureForNextStart would leave it, so that the next Start's file begins with the sound
    // of its own moment (within the server's delivery period) even where another program holds
    // the microphone at a long latency: a capture opened by the Start itself may then wait that
    // long for its first sound, and the sound of the wait never comes. What reached the capture
    // before that Start is dropped, not counted lost. Raises as Start does; nothing while a pass
    // runs or a capture is kept. Released like a kept capture.
    void OpenCapture();
    // Starts recording into `fileName` on the worker. Raises "Component is Busy" while the last
    // pass is still being finished; a failure inside the pass comes through `failed`.
    void Start(const std::string& fileName);
    // Ends the pass's file; returns once the file is complete and `finished` has run.
    // KeepCaptureForNextStart leaves the capture running so that the next Start's file begins with
    // the sample after this file's last one; a failed next Start, a Stop with ReleaseCapture and
    // the destructor release it.
    void Stop(AfterStop after = AfterStop::ReleaseCapture);
    // Asks the worker to finish; the file is closed shortly afterwards and the capture released.
    void RequestStop();

    bool Running() const;
    bool Busy() const;
    // The running pass has opened its chain without failure.
    bool Prepared() const;
    // A stop has left the capture running for the next start.
    bool CaptureKept() const;
    std::string FileName() const;
    // Why the last pass failed; empty when it did not.
    std::string FailureText() const;
    // Why the last pass failed, as the failing layer knew it.
    platform::FailureCause CauseOfFailure() const;
    // How much audio the last pass handed to its file: the recording's own length, whatever the
    // wall clock did meanwhile. Read once the pass has been stopped.
    std::chrono::milliseconds RecordedDuration() const;
    // Audio lost in the current (or last) pass.
    std::chrono::milliseconds LostDuration() const;

    std::int64_t MeterPosition() const { return meterPosition_; }
    void ResetMeter();

private:
    std::chrono::milliseconds FramesToDuration(std::int64_t frames) const;

    RecorderEvents events_;
    const RecordingChainHooks hooks_;
    std::int64_t meterPosition_ = 0;
    // The output comes last so that it is destroyed first: a running recording is finished while
    // its inputs still exist.
    audio::TComponentPtr<audio::TDSAudioIn> capture_;
    audio::TComponentPtr<audio::TGainIndicator> indicator_;
    audio::TComponentPtr<audio::TMP3Out> output_;
};

} // namespace station
