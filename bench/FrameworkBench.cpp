// Costs of the chain framework itself: bytes per second through three pass-through converters into
// an output that discards them, the time of one Run + synchronous Stop, and the heap allocations
// per block once a pass is running (which must be none).
#include "audio/tests/TestChain.h"
#include "bench/BenchmarkMain.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::uint64_t> allocations{0};

} // namespace

// Every allocation of the process is counted, whichever thread makes it.
void* operator new(std::size_t size) {
    ++allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

using namespace audio;
using namespace audio::test;

constexpr std::uint32_t BlockBytes = 4096;

// Source -> three pass-through converters -> an output that pulls and discards.
struct BenchChain {
    TComponentPtr<TMemorySource> Source = MakeComponent<TMemorySource>();
    TComponentPtr<TPassConverter> First = MakeComponent<TPassConverter>();
    TComponentPtr<TPassConverter> Second = MakeComponent<TPassConverter>();
    TComponentPtr<TPassConverter> Third = MakeComponent<TPassConverter>();
    TComponentPtr<TTestOutput> Output = MakeComponent<TTestOutput>(BlockBytes);

    explicit BenchChain(std::int64_t PassBytes) {
        Source->Endless = true;
        Source->BlockLimit = BlockBytes;
        // The first converter ends the endless source's data after PassBytes.
        First->AnnouncedSize = PassBytes;
        First->SetInput(Source.get());
        Second->SetInput(First.get());
        Third->SetInput(Second.get());
        Output->SetInput(Third.get());
    }
};

void PullThroughThreeConverters(benchmark::State& state) {
    const std::int64_t passBytes = 64LL << 20;
    BenchChain chain(passBytes);
    for (auto _ : state) {
        chain.Output->Run();
        chain.Output->Worker().WaitForPassEnd(chain.Output->Worker().PassesStarted());
    }
    state.SetBytesProcessed(state.iterations() * passBytes);
}
BENCHMARK(PullThroughThreeConverters)->Unit(benchmark::kMillisecond)->UseRealTime();

void RunAndSynchronousStop(benchmark::State& state) {
    BenchChain chain(-1);
    for (auto _ : state) {
        chain.Output->Run();
        chain.Output->Stop(false);
    }
}
BENCHMARK(RunAndSynchronousStop)->Unit(benchmark::kMicrosecond)->UseRealTime();

void AllocationsPerBlockInSteadyState(benchmark::State& state) {
    BenchChain chain(-1);
    chain.Output->Run();
    // Let the pass settle past its first blocks (and its one progress computation).
    while (chain.Output->Blocks < 1000)
        std::this_thread::yield();
    double perBlock = 0;
    for (auto _ : state) {
        const std::uint64_t allocationsBefore = allocations;
        const int blocksBefore = chain.Output->Blocks;
        while (chain.Output->Blocks < blocksBefore + 10000)
            std::this_thread::yield();
        perBlock = static_cast<double>(allocations - allocationsBefore) /
                   static_cast<double>(chain.Output->Blocks - blocksBefore);
    }
    chain.Output->Stop(false);
    state.counters["allocations_per_block"] = perBlock;
}
BENCHMARK(AllocationsPerBlockInSteadyState)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::RunBenchmarks(argc, argv);
}
