// CPU time to encode ten minutes of the station's recording format (16-bit mono, 44100 Hz) through
// the MP3 output from a memory source, against the `lame` command line on the same samples with the
// same settings (-b 128 -m m -p --nores). Prints both figures and their ratio; each side is timed
// three times and the best run counts.
#include "audio/tests/Mp3TestSupport.h"
#include "platform/testing/TemporaryFolder.h"

#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr int Rate = 44100;
constexpr int Seconds = 600;

// Speech-like material: a few drifting tones under noise, with a syllable-rate envelope.
std::vector<std::int16_t> Material() {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(Rate) * Seconds);
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.05);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / Rate;
        const double envelope = 0.5 + 0.5 * std::sin(2 * M_PI * 4 * t);
        const double voice = 0.3 * std::sin(2 * M_PI * (180 + 20 * std::sin(t)) * t) +
                             0.15 * std::sin(2 * M_PI * 720 * t) +
                             0.08 * std::sin(2 * M_PI * 2400 * t);
        const double value = envelope * voice + noise(random);
        samples[i] = static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767));
    }
    return samples;
}

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
                                "-b 128 -m m -p --nores '" +
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

} // namespace

int main() {
    platform::testing::TemporaryFolder folder;
    const auto samples = Material();
    const std::string rawPath = folder / "material.raw";
    std::ofstream(rawPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(samples.data()),
               static_cast<std::streamsize>(samples.size() * 2));

    double ours = 1e9, theirs = 1e9;
    for (int run = 0; run < 3; ++run) {
        ours = std::min(ours, EncodeThroughOutput(samples, folder / "output.mp3"));
        theirs = std::min(theirs, EncodeWithCommandLine(rawPath, folder / "cli.mp3"));
    }
    // Both sides must have encoded the same ten minutes, or the comparison means nothing.
    const auto ourSize = std::filesystem::file_size(folder / "output.mp3");
    const auto theirSize = std::filesystem::file_size(folder / "cli.mp3");
    if (std::abs(static_cast<double>(ourSize) - static_cast<double>(theirSize)) >
        0.02 * theirSize) {
        std::fprintf(stderr, "the files differ in size: %ju and %ju bytes\n",
                     static_cast<std::uintmax_t>(ourSize), static_cast<std::uintmax_t>(theirSize));
        return 1;
    }
    std::printf("10 min of 16-bit mono 44100 Hz at 128 kbit/s, CRC, no bit reservoir\n");
    std::printf("TMP3Out from memory: %.3f s CPU\n", ours);
    std::printf("lame command line:   %.3f s CPU\n", theirs);
    std::printf("ratio: %.3f (target: at most 1.1)\n", ours / theirs);
    return 0;
}
