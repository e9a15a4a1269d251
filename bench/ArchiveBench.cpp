// Packs interview folders of real recordings through the archive writer and through
// `7z a -tzip -mm=Deflate -mx=7 -mpass=3`, which uses the same library, and prints the ratio of
// the wall times (writer / command line) for 10, 30 and 60 recordings: the ratio must not grow
// with the folder.
//
// The recordings are MP3 files from the project's own encoder: a few minutes of speech-like
// material encoded once, then copied. The two sides run alternately, pair after pair, so that a
// change in the machine's load falls on both; each size reports the median of the pairs' ratios.
//
//   bench_archive [pairs=5] [work folder]     (default work folder: the system's temporary one)
#include "archive/Compression.h"
#include "audio/tests/Mp3TestSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int Rate = 44100;
constexpr int RecordingSeconds = 180;
constexpr int Sizes[] = {10, 30, 60};

// One recording as the exam page writes it.
void EncodeRecording(const fs::path& path) {
    const auto samples = mp3test::SpeechLike(Rate, RecordingSeconds);
    auto source = audio::MakeComponent<mp3test::TMemorySource>(samples, 1, Rate);
    auto output = audio::MakeComponent<audio::TMP3Out>();
    mp3test::UseExamSettings(*output);
    output->SetInput(source.get());
    output->SetFileName(path.string());
    if (!mp3test::RunToEnd(*output, 600) || !output->ExceptionText().empty()) {
        std::fprintf(stderr, "encoding the material failed: %s\n", output->ExceptionText().c_str());
        std::exit(1);
    }
}

// An interview folder of `count` copies of the recording.
fs::path MakeInterview(const fs::path& work, const fs::path& recording, int count) {
    const fs::path folder = work / ("01-05032026-000145-" + std::to_string(count));
    fs::create_directories(folder);
    for (int i = 1; i <= count; ++i)
        fs::copy_file(recording, folder / (std::to_string(i) + ".mp3"),
                      fs::copy_options::overwrite_existing);
    return folder;
}

template <typename Body> double Seconds(Body&& body) {
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double WithWriter(const fs::path& folder, const fs::path& zipPath) {
    fs::remove(zipPath);
    return Seconds([&] {
        archive::TZipCompressArchive zip(zipPath.string());
        zip.AddDirectory(folder.filename().wstring(), folder.string(), true, true);
        zip.Compress();
    });
}

double WithCommandLine(const fs::path& folder, const fs::path& zipPath) {
    fs::remove(zipPath);
    const std::string command = "7z a -tzip -mm=Deflate -mx=7 -mpass=3 '" + zipPath.string() +
                                "' '" + folder.string() + "' > /dev/null";
    return Seconds([&] {
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "7z command failed: %s\n", command.c_str());
            std::exit(1);
        }
    });
}

} // namespace

int main(int argc, char** argv) {
    const int pairs = std::max(5, argc > 1 ? std::atoi(argv[1]) : 5);
    const fs::path work =
        fs::path(argc > 2 ? argv[2] : fs::temp_directory_path()) / "bench-archive";
    fs::create_directories(work);
    const fs::path recording = work / "recording.mp3";
    EncodeRecording(recording);
    std::printf("recordings: %d s of speech-like material, %ju bytes each; median of %d "
                "alternating pairs\n",
                RecordingSeconds, static_cast<std::uintmax_t>(fs::file_size(recording)), pairs);

    const fs::path viaWriter = work / "writer.zip";
    const fs::path viaCommand = work / "command.zip";
    for (const int count : Sizes) {
        const fs::path folder = MakeInterview(work, recording, count);
        std::vector<double> writer, commandLine, ratios;
        for (int pair = 0; pair < pairs; ++pair) {
            writer.push_back(WithWriter(folder, viaWriter));
            commandLine.push_back(WithCommandLine(folder, viaCommand));
            ratios.push_back(writer.back() / commandLine.back());
        }
        std::printf("%2d files: writer %.3f s, 7z %.3f s, ratio %.3f (target at most 1.00); "
                    "sizes %ju / %ju bytes\n",
                    count, Median(writer), Median(commandLine), Median(ratios),
                    static_cast<std::uintmax_t>(fs::file_size(viaWriter)),
                    static_cast<std::uintmax_t>(fs::file_size(viaCommand)));
        std::fflush(stdout);
        fs::remove_all(folder);
    }
    fs::remove_all(work);
    return 0;
}
