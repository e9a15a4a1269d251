// The gain indicator's own work per block (conversion to floats and the loudness analysis), and
// the sample conversions alone, without a sound server.
#include "audio/AudioIndicators.h"
#include "audio/AudioProcs.h"
#include "bench/BenchmarkMain.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

// Hands out the same block of a 16-bit mono sine again and again.
class RepeatingSource : public audio::TAudioInput {
public:
    explicit RepeatingSource(std::uint32_t frames) : block_(frames) {
        for (std::size_t i = 0; i < block_.size(); ++i)
            block_[i] = static_cast<std::int16_t>(16384 * std::sin(0.0627 * double(i)));
    }
    std::uint32_t GetBitsPerSample() const override { return 16; }
    std::uint32_t GetChannels() const override { return 1; }
    std::uint32_t GetSampleRate() const override { return 44100; }

protected:
    void DoOpen() override {
        FBusy = true;
        FSize = -1;
    }
    void DoClose() override { FBusy = false; }
    void DoReadBlock(const void*& Buffer, std::uint32_t& Bytes) override {
        Buffer = block_.data();
        Bytes = std::min<std::uint32_t>(Bytes, std::uint32_t(block_.size() * 2));
    }

private:
    std::vector<std::int16_t> block_;
};

void IndicatorBlock(benchmark::State& state) {
    const auto frames = static_cast<std::uint32_t>(state.range(0));
    RepeatingSource source(frames);
    audio::TGainIndicator indicator;
    indicator.SetInput(&source);
    indicator.Open();
    for (auto _ : state) {
        const void* block = nullptr;
        std::uint32_t bytes = frames * 2;
        indicator.ReadBlock(block, bytes);
        benchmark::DoNotOptimize(block);
    }
    indicator.Close();
    // Audio seconds handled per second of CPU.
    state.counters["realtime_x"] = benchmark::Counter(
        double(frames) / 44100.0 * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(IndicatorBlock)->Arg(2205)->Arg(4410);

void Convert16(benchmark::State& state) {
    std::vector<std::int16_t> source(4410, 1234);
    std::vector<float> destination(source.size());
    for (auto _ : state) {
        audio::Convert16ToFloat(source.data(), destination.data(), source.size());
        benchmark::DoNotOptimize(destination.data());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(source.size()));
}
BENCHMARK(Convert16);

} // namespace

int main(int argc, char** argv) {
    return bench::RunBenchmarks(argc, argv);
}
