// CPU time to encode ten minutes of the station's recording format (16-bit mono, 44100 Hz) through
// the MP3 output from a memory source, against the `lame` command line on the same samples with the
// same work (-b 128 -m m -p --nores, and --noreplaygain: the library does no loudness analysis of
// its own). The two sides run alternately, pair after pair, so that a change in the machine's load
// falls on both; the medians of the times and of the pairs' ratios are printed.
//
//   bench_mp3_encode [--smoke] [pairs=5]
//   (--smoke: one pair of ten seconds, to show that the benchmark still runs, its figures meaning
//   nothing)
#include "audio/tests/Mp3TestSupport.h"
#include "bench/Smoke.h"
#include "testsupport/TemporaryFolder.h"

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Rate = 44100;

double ProcessCpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

double ChildrenCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double EncodeThroughOutput(const std::vector<std::int16_t>& samples, const std::string& path) {
    auto source = audio::MakeComponent<mp3test::TMemorySource>(samples, 1, Rate);
    auto output = audio::MakeComponent<audio::TMP3Out>();
    mp3test::UseExamSettings(*output);
    output->SetInput(source.get());
    output->SetFileName(path);
    const double start = ProcessCpuSeconds();
    if (!mp3test::RunToEnd(*output, 600) || !output->ExceptionText().empty()) {
        std::fprintf(stderr, "recording failed: %s\n", output->ExceptionText().c_str());
        std::exit(1);
    }
    return ProcessCpuSeconds() - start;
}

double EncodeWithCommandLine(const std::string& rawPath, const std::string& mp3Path) {
    const std::string command = "lame --silent -r -s 44.1 --bitwidth 16 --signed --little-endian "
                                "-b 128 -m m -p --nores --noreplaygain '" +
                                rawPath + "' '" + mp3Path + "' 2>'" + mp3Path + ".log'";
    const double start = ChildrenCpuSeconds();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "`%s` failed (is the lame package installed?)\n", command.c_str());
        std::fflush(stderr);
        std::system(("cat '" + mp3Path + ".log' >&2").c_str());
        std::exit(1);
    }
    return ChildrenCpuSeconds() - start;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    const bench::Arguments arguments(argc, argv);
    const int seconds = arguments.smoke ? 10 : 600;
    const int pairs = arguments.smoke ? 1 : std::max(5, std::atoi(arguments.Or(0, "5").c_str()));
    testsupport::TemporaryFolder folder;
    const auto samples = mp3test::SpeechLike(Rate, seconds);
    const std::string rawPath = folder / "material.raw";
    std::ofstream(rawPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(samples.data()),
               static_cast<std::streamsize>(samples.size() * 2));

    std::vector<double> ours, theirs, ratios;
    for (int pair = 0; pair < pairs; ++pair) {
        ours.push_back(EncodeThroughOutput(samples, folder / "output.mp3"));
        theirs.push_back(EncodeWithCommandLine(rawPath, folder / "cli.mp3"));
        ratios.push_back(ours.back() / theirs.back());
        std::printf("pair %d: TMP3Out %.3f s, lame %.3f s, ratio %.3f\n", pair + 1, ours.back(),
                    theirs.back(), ratios.back());
    }
    // Both sides must have encoded the same audio, or the comparison means nothing.
    const auto ourSize = std::filesystem::file_size(folder / "output.mp3");
    const auto theirSize = std::filesystem::file_size(folder / "cli.mp3");
    if (std::abs(static_cast<double>(ourSize) - static_cast<double>(theirSize)) >
        0.02 * theirSize) {
        std::fprintf(stderr, "the files differ in size: %ju and %ju bytes\n",
                     static_cast<std::uintmax_t>(ourSize), static_cast<std::uintmax_t>(theirSize));
        return 1;
    }
    std::printf("%d s of 16-bit mono 44100 Hz at 128 kbit/s, CRC, no bit reservoir, no "
                "ReplayGain; median of %d alternating pairs\n",
                seconds, pairs);
    std::printf("TMP3Out from memory: %.3f s CPU\n", Median(ours));
    std::printf("lame command line:   %.3f s CPU\n", Median(theirs));
    std::printf("ratio: %.3f (median of the pairs' ratios; target: at most 1.1)\n", Median(ratios));
    return 0;
}
