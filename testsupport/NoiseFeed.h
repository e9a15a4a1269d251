// For sound tests and benchmarks: a source of known sound on the server PULSE_SERVER names. A null
// sink is fed, in real time by the server's clock, with a fixed white noise (pacat), and a real
// source is remapped over its monitor, so that a capture from it can be placed in the noise to the
// sample. Loaded for the life of the object; works on PulseAudio and on PipeWire's PulseAudio
// service alike.
#pragma once

#include "testsupport/ChildProcess.h"
#include "testsupport/TemporaryFolder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

class NoiseFeed {
public:
    // `seconds` of noise are played once from the start.
    explicit NoiseFeed(int seconds = 30);
    ~NoiseFeed();
    NoiseFeed(const NoiseFeed&) = delete;
    NoiseFeed& operator=(const NoiseFeed&) = delete;

    // False when the server refused the modules or pacat could not start.
    bool Ready() const { return ready_; }
    // The server's name of the source, and the description a device list shows for it.
    static constexpr const char* SourceName = "station_noise";
    static constexpr const char* Description = "station-noise-feed";
    // 16-bit mono samples at 44100 Hz, as played.
    const std::vector<std::int16_t>& Noise() const { return noise_; }
    // Where `count` samples at `window` lie in the noise: the offset of the best normalised
    // correlation among the first `searchUpTo` offsets, and that correlation.
    std::pair<std::size_t, double> Locate(const std::int16_t* window, std::size_t count,
                                          std::size_t searchUpTo) const;

private:
    TemporaryFolder folder_{"station-noise"};
    std::vector<std::int16_t> noise_;
    std::vector<int> modules_;
    std::unique_ptr<ChildProcess> player_;
    bool ready_ = false;
};

} // namespace testsupport
