// interview-verify against `unzip -tq` and `7z t` at equal parallelism (the verifier with N jobs,
// the others run N at a time over the archives) on the same distinct interview archives: each of
// 12 archives holds 10 five-minute recordings (128 kbit/s mono MP3 from the lame tool, the report
// from the station's routines, packed by the project's archive writer), drawn in a different
// selection and order from 12 distinct recordings, so no two archives are alike. The three run
// in alternation; every figure is min / median / max over the rounds, and each ratio is taken
// within its round.
//
// With --loudness it measures the loudness analysis instead: on 2 of the archives, the plain
// check and the check with --loudness in alternating pairs (one job each), in CPU seconds of the
// child processes; it prints the seconds of audio analysed per CPU second and the cost against
// the plain check.
//
//   bench_verify [--smoke] [--loudness] [--jobs N] [work folder]
//       (default folder: the system's temporary folder; the archives are kept there for the next
//        run, delete bench-verify/ to remake them; N defaults to the number of cores; --smoke: two
//        small archives and one round, in a folder of its own that is removed afterwards, to show
//        that the benchmark still runs, its figures meaning nothing)
#include "archive/Compression.h"
#include "archive/StringUtils.h"
#include "interview_format/InterviewNames.h"
#include "platform/DateTime.h"
#include "station/Report.h"
#include "station/core/InterviewState.h"
#include "testsupport/WavFile.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

#ifndef INTERVIEW_VERIFY
#error "INTERVIEW_VERIFY must name the built program"
#endif

using namespace station;

namespace {

namespace fs = std::filesystem;

struct Scale {
    int archives;
    int recordingsPerArchive;
    int distinctRecordings;
    int recordingSeconds;
    int rounds;
    int loudnessArchives;
    int loudnessRounds;
};
constexpr Scale FullScale{12, 10, 12, 300, 5, 2, 3};
constexpr Scale SmokeScale{2, 2, 2, 5, 1, 1, 1};
Scale scale = FullScale;

// The interview every archive holds, named by the interview format's own rules so that the
// verifier accepts what the benchmark makes: examined on the 5th, closed on the 6th.
constexpr std::string_view SchoolCode = "000145";
constexpr std::string_view Room = "012";
const std::string FolderName = interview_format::FolderName("05032026", SchoolCode, Room);
const std::string ReportName = interview_format::ReportName("06032026", SchoolCode, Room);

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
    const std::uint32_t samples = Rate * scale.recordingSeconds;
    std::vector<std::int16_t> pcm(samples);
    std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
    std::uniform_int_distribution<int> noise(-2500, 2500);
    double phase = 0;
    for (std::uint32_t i = 0; i < samples; ++i) {
        phase += 2 * 3.14159265358979 * (180 + 60 * std::sin(i / 20000.0 + seed)) / Rate;
        pcm[i] = static_cast<std::int16_t>(7000 * std::sin(phase) + noise(random));
    }
    testsupport::WriteWavFile(path.string(), pcm);
}

std::string ArchiveName(int number) {
    return "interview-" + std::to_string(number) + ".zip";
}

fs::path MakeArchives(const fs::path& work) {
    const fs::path archives = work / "archives";
    // Marks archives made distinct; copies of one archive from older runs are made anew.
    const fs::path made = archives / "distinct";
    if (fs::exists(made))
        return archives;
    std::printf("making %d distinct archives of %d recordings of %d s in %s ...\n", scale.archives,
                scale.recordingsPerArchive, scale.recordingSeconds, work.c_str());
    std::fflush(stdout);
    fs::remove_all(work);
    fs::create_directories(archives);
    for (int i = 0; i < scale.distinctRecordings; ++i) {
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
    const fs::path folder = work / FolderName;
    state.folder = folder.string();
    for (int archive = 1; archive <= scale.archives; ++archive) {
        fs::create_directories(folder);
        interview_format::InterviewReport report = ReportFor(ReportHeadingOf(state));
        for (int number = 1; number <= scale.recordingsPerArchive; ++number) {
            const fs::path recording = folder / interview_format::RecordingName(number);
            // Archive a takes recordings a, a+1, ... in turn, starting at a different one each.
            const int tone = (archive * 5 + number * (1 + archive % 5)) % scale.distinctRecordings;
            fs::copy_file(work / ("tone" + std::to_string(tone) + ".mp3"), recording);
            report.recordings.push_back(RecordingEntry(recording.string()).entry);
        }
        report.participants = scale.recordingsPerArchive;
        SaveReport(report, (folder / ReportName).string());
        archive::TZipCompressArchive zip((archives / ArchiveName(archive)).string());
        zip.AddDirectory(archive::Utf8ToWide(FolderName), folder.string(), true, true);
        zip.Compress();
        fs::remove_all(folder);
    }
    std::ofstream(made) << "distinct\n";
    return archives;
}

double Seconds(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    Run(command);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// User and system time of the children waited for so far.
double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double CpuSeconds(const std::string& command) {
    const double before = ChildCpuSeconds();
    Run(command);
    return ChildCpuSeconds() - before;
}

struct Spread {
    double min, median, max;
};

Spread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values.front(), values[values.size() / 2], values.back()};
}

void PrintSpread(const char* what, const std::vector<double>& values, const char* unit) {
    const Spread spread = SpreadOf(values);
    std::printf("  %-44s %8.2f %8.2f %8.2f %s\n", what, spread.min, spread.median, spread.max,
                unit);
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

void CompareReaders(const fs::path& archives, unsigned jobs, double megabytes) {
    const std::string all = Quoted(archives);
    const std::string n = std::to_string(jobs);
    const std::string verify =
        std::string(INTERVIEW_VERIFY) + " --jobs " + n + " " + all + " > /dev/null";
    // The same archives handed out N at a time, one process per archive, as the verifier's jobs.
    const std::string each = "find " + all + " -name '*.zip' -print0 | xargs -0 -n 1 -P " + n + " ";
    const std::string unzip = each + "unzip -tq > /dev/null";
    const std::string sevenZip = each + "7z t -bso0 -bsp0 > /dev/null";

    // One warm-up each so that none pays for the disk alone.
    Seconds(verify);
    Seconds(unzip);
    Seconds(sevenZip);
    std::vector<double> verifyTimes, unzipTimes, sevenTimes, toUnzip, toSeven;
    for (int round = 0; round < scale.rounds; ++round) {
        verifyTimes.push_back(Seconds(verify));
        unzipTimes.push_back(Seconds(unzip));
        sevenTimes.push_back(Seconds(sevenZip));
        toUnzip.push_back(verifyTimes.back() / unzipTimes.back());
        toSeven.push_back(verifyTimes.back() / sevenTimes.back());
    }
    std::printf("%d distinct archives, %.0f MB, %d recordings of %d s each; %u at a time; "
                "%d rounds of verify, unzip, 7z in turn\n",
                scale.archives, megabytes, scale.archives * scale.recordingsPerArchive,
                scale.recordingSeconds, jobs, scale.rounds);
    std::printf("  %-44s %8s %8s %8s\n", "", "min", "median", "max");
    PrintSpread(("interview-verify --jobs " + n).c_str(), verifyTimes, "s");
    PrintSpread(("unzip -tq, " + n + " at a time").c_str(), unzipTimes, "s");
    PrintSpread(("7z t, " + n + " at a time").c_str(), sevenTimes, "s");
    PrintSpread("ratio verify / unzip (within each round)", toUnzip, "");
    PrintSpread("ratio verify / 7z (within each round)", toSeven, "");
    std::printf("  interview-verify throughput (median): %.0f MB/s\n",
                megabytes / SpreadOf(verifyTimes).median);
}

void MeasureLoudness(const fs::path& archives) {
    std::string some;
    for (int i = 1; i <= scale.loudnessArchives; ++i)
        some += " " + Quoted(archives / ArchiveName(i));
    const std::string plain = std::string(INTERVIEW_VERIFY) + " --jobs 1" + some + " > /dev/null";
    const std::string loud =
        std::string(INTERVIEW_VERIFY) + " --jobs 1 --loudness" + some + " > /dev/null";
    const double audio = static_cast<double>(scale.loudnessArchives) * scale.recordingsPerArchive *
                         scale.recordingSeconds;
    CpuSeconds(plain);
    std::vector<double> plainCpu, loudCpu, speed, cost;
    for (int round = 0; round < scale.loudnessRounds; ++round) {
        plainCpu.push_back(CpuSeconds(plain));
        loudCpu.push_back(CpuSeconds(loud));
        speed.push_back(audio / loudCpu.back());
        cost.push_back(loudCpu.back() / plainCpu.back());
    }
    std::printf("loudness: %d archives, %.0f s of 128 kbit/s mono audio, one job; %d rounds of "
                "plain check and --loudness in turn, CPU time of the verifier\n",
                scale.loudnessArchives, audio, scale.loudnessRounds);
    std::printf("  %-44s %8s %8s %8s\n", "", "min", "median", "max");
    PrintSpread("plain check", plainCpu, "CPU s");
    PrintSpread("check with --loudness", loudCpu, "CPU s");
    PrintSpread("audio analysed per CPU second (--loudness)", speed, "x real time");
    PrintSpread("cost of --loudness against the plain check", cost, "x");
    std::printf("  target: at least 300x real time per core\n");
}

} // namespace

int main(int argc, char** argv) {
    bool loudness = false;
    bool smoke = false;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    fs::path base = fs::temp_directory_path();
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--smoke")
            smoke = true;
        else if (argument == "--loudness")
            loudness = true;
        else if (argument == "--jobs" && i + 1 < argc)
            jobs = static_cast<unsigned>(std::max(1, std::atoi(argv[++i])));
        else
            base = argument;
    }
    if (smoke)
        scale = SmokeScale;
    const fs::path work = base / (smoke ? "bench-verify-smoke-" + std::to_string(getpid())
                                        : std::string("bench-verify"));
    const fs::path archives = MakeArchives(work);
    if (loudness) {
        MeasureLoudness(archives);
        if (smoke)
            fs::remove_all(work);
        return 0;
    }
    double megabytes = 0;
    for (int i = 1; i <= scale.archives; ++i)
        megabytes += static_cast<double>(fs::file_size(archives / ArchiveName(i))) / 1e6;
    CompareReaders(archives, jobs, megabytes);
    if (smoke)
        fs::remove_all(work);
    return 0;
}
