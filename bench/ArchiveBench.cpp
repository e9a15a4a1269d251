// Packs a folder of 20 recording-sized files (5 MB each, as incompressible as MP3 data) through the
// archive writer and through `7z a -tzip -mm=Deflate -mx=7 -mpass=3`, which uses the same library,
// and prints the ratio of the median wall times (writer / command line).
//
//   bench_archive [work folder]     (default: the system's temporary folder)
#include "archive/Compression.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int FileCount = 20;
constexpr std::size_t FileSize = 5 * 1024 * 1024;
constexpr int Rounds = 3;

void MakeRecordings(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    std::mt19937_64 random(2026);
    std::vector<std::uint64_t> block(FileSize / sizeof(std::uint64_t));
    for (int i = 1; i <= FileCount; ++i) {
        for (auto& word : block)
            word = random();
        std::ofstream(folder / (std::to_string(i) + ".mp3"), std::ios::binary)
            .write(reinterpret_cast<const char*>(block.data()),
                   static_cast<std::streamsize>(FileSize));
    }
}

template <typename Body> double Seconds(Body&& body) {
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path work =
        std::filesystem::path(argc > 1 ? argv[1] : std::filesystem::temp_directory_path()) /
        "bench-archive";
    const std::filesystem::path folder = work / "01-05032026-000145-012";
    MakeRecordings(folder);
    const std::string viaWriter = (work / "writer.zip").string();
    const std::string viaCommand = (work / "command.zip").string();
    const std::string command = "7z a -tzip -mm=Deflate -mx=7 -mpass=3 '" + viaCommand + "' '" +
                                folder.string() + "' > /dev/null";

    std::vector<double> writer, commandLine;
    for (int round = 0; round < Rounds; ++round) {
        std::filesystem::remove(viaWriter);
        std::filesystem::remove(viaCommand);
        writer.push_back(Seconds([&] {
            archive::TZipCompressArchive zip(viaWriter);
            zip.AddDirectory(folder.filename().wstring(), folder.string(), true, true);
            zip.Compress();
        }));
        commandLine.push_back(Seconds([&] {
            if (std::system(command.c_str()) != 0) {
                std::fprintf(stderr, "7z command failed: %s\n", command.c_str());
                std::exit(1);
            }
        }));
    }
    const double ratio = Median(writer) / Median(commandLine);
    std::printf("archive writer %.3f s, 7z command line %.3f s (median of %d, %d x %zu MB)\n",
                Median(writer), Median(commandLine), Rounds, FileCount, FileSize >> 20);
    std::printf("ratio writer/command line: %.3f (target at most 1.03)\n", ratio);
    std::printf("sizes: writer %ju bytes, command line %ju bytes\n",
                static_cast<std::uintmax_t>(std::filesystem::file_size(viaWriter)),
                static_cast<std::uintmax_t>(std::filesystem::file_size(viaCommand)));
    std::filesystem::remove_all(work);
    return 0;
}
