// The gain indicator: a converter that hands every block through unchanged and, on the side,
// measures the loudness with the gain library (EBU R 128 through libebur128). Every Interval
// milliseconds of analysed audio it turns the title gain into GainValue (0 .. 100, louder is
// higher) and raises OnGainData.
#pragma once

#include "audio/AudioInput.h"
#include "audio/EventSlot.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace audio {

class TGainIndicator : public TAudioConverter {
public:
    TGainIndicator() = default;

    // Milliseconds of analysed audio between two reports.
    std::uint32_t Interval() const { return FInterval; }
    void SetInterval(std::uint32_t Value) { FInterval = Value; }
    // The last loudness figure; read by OnGainData handlers on the GUI thread.
    double GainValue() const { return FGainValue.load(); }
    // Raised after each report and once at close.
    TEventSlot OnGainData;

    // The figure for a title gain in dB: a gain of 32 dB or more reads 0, and so does one below
    // -68 dB (which would read above 100).
    static double GainValueFromTitleGain(double TitleGain);

protected:
    // The two channels last handed to the analysis (first and second argument).
    const std::vector<double>& AnalysedA() const { return FBufferA; }
    const std::vector<double>& AnalysedB() const { return FBufferB; }

    void DoOpen() override;
    void DoClose() override;
    void DoReadBlock(const void*& Buffer, std::uint32_t& Bytes) override;

private:
    void Analyse(const void* Block, std::uint32_t Bytes);

    std::atomic<std::uint32_t> FInterval{100};
    std::atomic<double> FGainValue{0.0};
    // Used on the reading worker only.
    std::uint32_t FAnalysisRate = 0;
    std::uint32_t FElapsed = 0; // in 10 microsecond units; survives from one pass to the next
    std::vector<float> FSampleBuffer;
    std::vector<double> FBufferA;
    std::vector<double> FBufferB;
    std::uint32_t FCapacity = 0;
    std::uint16_t FBytesPerSample = 0;
};

} // namespace audio
