// An output that pulls its chain like the MP3 output does and keeps only counts (and, when asked,
// the samples). Used by tests and the capture benchmark.
#pragma once

#include "audio/AudioOutput.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace audio::test {

class NullOutput : public TAudioOutput {
public:
    ~NullOutput() override { Stop(false); }
    std::atomic<std::int64_t> bytes{0};
    bool keepSamples = false;
    std::vector<std::int16_t> samples; // read only once the pass has ended

protected:
    void BeginOutput() override {
        bytes = 0;
        samples.clear();
        Input()->Open();
    }
    bool OutputBlock(bool Abort) override {
        if (Abort)
            return false;
        bool ended = false;
        const std::uint32_t got = Input()->ReadInto(buffer_, sizeof buffer_, ended);
        bytes += got;
        if (keepSamples)
            samples.insert(samples.end(), reinterpret_cast<std::int16_t*>(buffer_),
                           reinterpret_cast<std::int16_t*>(buffer_ + got));
        return !ended;
    }
    void EndOutput() override { Input()->Close(); }

private:
    alignas(2) std::uint8_t buffer_[4608];
};

} // namespace audio::test
