// interview-verify against `unzip -tq` on the same 20 interview archives of 30 five-minute
// recordings each (128 kbit/s mono MP3 from the lame tool, the report from the station's routines,
// packed by the project's archive writer): run alternately, median of 5, throughput in MB of
// archive per second. Also, once each: one job, and the audio decoded in full (on 2 archives).
//
//   bench_verify [work folder]   (default: the system's temporary folder; the archives are kept
//                                 there for the next run, delete bench-verify/ to remake them)
#include "archive/Compression.h"
#include "archive/StringUtils.h"
#include "platform/DateTime.h"
#include "station/Report.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#ifndef INTERVIEW_VERIFY
#error "INTERVIEW_VERIFY must name the built program"
#endif

namespace {

namespace fs = std::filesystem;

constexpr int ArchiveCount = 20;
constexpr int RecordingsPerArchive = 30;
constexpr int DistinctRecordings = 3;
constexpr int RecordingSeconds = 300;
constexpr int Rounds = 5;
constexpr const char* FolderName = "01-05032026-000145-012";

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

// A spoken-answer stand-in: a wandering tone under noise, so the encoder has real work and the
// MP3 is as incompressible as speech.
void WriteWav(const fs::path& path, int seed) {
    constexpr std::uint32_t Rate = 44100;
    const std::uint32_t samples = Rate * RecordingSeconds;
    std::vector<std::int16_t> pcm(samples);
    std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
    std::uniform_int_distribution<int> noise(-2500, 2500);
    double phase = 0;
    for (std::uint32_t i = 0; i < samples; ++i) {
        phase += 2 * 3.14159265358979 * (180 + 60 * std::sin(i / 20000.0 + seed)) / Rate;
        pcm[i] = static_cast<std::int16_t>(7000 * std::sin(phase) + noise(random));
    }
    std::ofstream out(path, std::ios::binary);
    const auto put = [&out](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            out.put(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    out << "RIFF";
    put(36 + samples * 2, 4);
    out << "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(Rate, 4);
    put(Rate * 2, 4);
    put(2, 2);
    put(16, 2);
    out << "data";
    put(samples * 2, 4);
    out.write(reinterpret_cast<const char*>(pcm.data()),
              static_cast<std::streamsize>(pcm.size() * 2));
}

fs::path MakeArchives(const fs::path& work) {
    const fs::path archives = work / "archives";
    if (fs::exists(archives / ("interview-" + std::to_string(ArchiveCount) + ".zip")))
        return archives;
    std::printf("making %d archives of %d recordings of %d s in %s ...\n", ArchiveCount,
                RecordingsPerArchive, RecordingSeconds, work.c_str());
    std::fflush(stdout);
    fs::remove_all(work);
    const fs::path folder = work / FolderName;
    fs::create_directories(folder);
    fs::create_directories(archives);
    for (int i = 0; i < DistinctRecordings; ++i) {
        const fs::path wav = work / ("tone" + std::to_string(i) + ".wav");
        WriteWav(wav, i);
        Run("lame --quiet -b 128 -m m --id3v1-only --tc station '" + wav.string() + "' '" +
            (work / ("tone" + std::to_string(i) + ".mp3")).string() + "'");
        fs::remove(wav);
    }
    InterviewState state;
    state.schoolCode6 = "000145";
    state.room3 = "012";
    state.region = "г. Москва";
    state.schoolName = "Школа №1";
    state.examDate = platform::EncodeDateTime({2026, 3, 5});
    state.folder = folder.string();
    std::vector<std::string> lines = ReportHeader(state);
    for (int number = 1; number <= RecordingsPerArchive; ++number) {
        const fs::path recording = folder / (std::to_string(number) + ".mp3");
        fs::copy_file(work / ("tone" + std::to_string(number % DistinctRecordings) + ".mp3"),
                      recording);
        lines.push_back(RecordingLine(recording.string()));
    }
    lines.push_back(CountLine(RecordingsPerArchive));
    SaveReport(lines, (folder / "01-06032026-000000-000145-012.csv").string());

    const fs::path first = archives / "interview-1.zip";
    archive::TZipCompressArchive zip(first.string());
    zip.AddDirectory(archive::Utf8ToWide(FolderName), folder.string(), true, true);
    zip.Compress();
    for (int i = 2; i <= ArchiveCount; ++i)
        fs::copy_file(first, archives / ("interview-" + std::to_string(i) + ".zip"));
    fs::remove_all(folder);
    return archives;
}

double Seconds(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    Run(command);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const fs::path work = fs::path(argc > 1 ? argv[1] : fs::temp_directory_path()) / "bench-verify";
    const fs::path archives = MakeArchives(work);
    double megabytes = 0;
    for (int i = 1; i <= ArchiveCount; ++i)
        megabytes += static_cast<double>(
                         fs::file_size(archives / ("interview-" + std::to_string(i) + ".zip"))) /
                     1e6;
    const std::string all = "'" + archives.string() + "'";
    const std::string verify = std::string(INTERVIEW_VERIFY) + " --jobs 2 " + all + " > /dev/null";
    const std::string unzip =
        "for f in " + all + "/*.zip; do unzip -tq \"$f\" > /dev/null || exit 1; done";

    // Both read the same files; one warm-up each so that neither pays for the disk alone.
    Seconds(verify);
    Seconds(unzip);
    std::vector<double> verifyTimes, unzipTimes;
    for (int round = 0; round < Rounds; ++round) {
        verifyTimes.push_back(Seconds(verify));
        unzipTimes.push_back(Seconds(unzip));
    }
    const double oneJob =
        Seconds(std::string(INTERVIEW_VERIFY) + " --jobs 1 " + all + " > /dev/null");
    const double decoded = Seconds(std::string(INTERVIEW_VERIFY) + " --jobs 2 --decode '" +
                                   (archives / "interview-1.zip").string() + "' '" +
                                   (archives / "interview-2.zip").string() + "' > /dev/null");

    const double verifyMedian = Median(verifyTimes);
    const double unzipMedian = Median(unzipTimes);
    std::printf("%d archives, %.0f MB, %d recordings of %d s each\n", ArchiveCount, megabytes,
                ArchiveCount * RecordingsPerArchive, RecordingSeconds);
    std::printf("interview-verify --jobs 2: %.2f s  %.0f MB/s   (median of %d)\n", verifyMedian,
                megabytes / verifyMedian, Rounds);
    std::printf("unzip -tq:                 %.2f s  %.0f MB/s   (median of %d)\n", unzipMedian,
                megabytes / unzipMedian, Rounds);
    std::printf("ratio verify/unzip: %.2f (target at most 1.00)\n", verifyMedian / unzipMedian);
    std::printf("interview-verify --jobs 1: %.2f s  %.0f MB/s   (once)\n", oneJob,
                megabytes / oneJob);
    std::printf("interview-verify --jobs 2 --decode, 2 archives: %.2f s  %.0f MB/s   (once)\n",
                decoded, megabytes / ArchiveCount * 2 / decoded);
    return 0;
}
