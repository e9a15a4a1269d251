// The main of the benchmark programs built on Google Benchmark: the library's own flags, and the
// shared `--smoke`, which runs each benchmark for a moment only.
#pragma once

#include <benchmark/benchmark.h>

#include <string_view>
#include <vector>

namespace bench {

inline int RunBenchmarks(int argc, char** argv) {
    // A plain number of seconds: the library versions of Debian 12 and later all read it.
    static char shortRun[] = "--benchmark_min_time=0.01";
    std::vector<char*> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(std::string_view(argv[i]) == "--smoke" ? shortRun : argv[i]);
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 1;
    // A filter that matches nothing measures nothing: that is a failure, not a quiet success.
    const std::size_t ran = benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return ran > 0 ? 0 : 1;
}

} // namespace bench
