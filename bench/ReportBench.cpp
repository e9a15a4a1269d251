// CRC-32 of the report: a 15-minute answer at 128 kbit/s is about 14 MB, checksummed while the
// operator waits for the next participant's recording to start.
#include "bench/BenchmarkMain.h"
#include "station/Crc32.h"
#include "testsupport/TemporaryFolder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace station;

namespace {

std::vector<unsigned char> RandomBytes(std::size_t count) {
    std::mt19937 random(1);
    std::vector<unsigned char> bytes(count);
    for (auto& byte : bytes)
        byte = static_cast<unsigned char>(random());
    return bytes;
}

void BM_UpdateCRC32(benchmark::State& state) {
    const auto bytes = RandomBytes(32768);
    for (auto _ : state)
        benchmark::DoNotOptimize(UpdateCRC32(0xFFFFFFFF, bytes.data(), bytes.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 32768);
}
BENCHMARK(BM_UpdateCRC32);

void BM_FileCRC32(benchmark::State& state) {
    const std::size_t size = static_cast<std::size_t>(state.range(0)) << 20;
    const testsupport::TemporaryFolder folder("bench-report");
    const std::string path = folder / "recording.mp3";
    {
        const auto bytes = RandomBytes(size);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(FileCRC32(path));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_FileCRC32)->Arg(14)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::RunBenchmarks(argc, argv);
}
