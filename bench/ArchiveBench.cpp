// The whole close of an interview, timed: the station packs the interview folder into its zip and
// reads it back, proving every recording against the report; against it, the command line does the
// same two steps, `7z a -tzip -mm=Deflate -mx=7 -mpass=3` (the same library and settings) and
// `7z t`. The recordings are distinct 5-minute files from the project's own encoder (speech-like
// material, shifted and with its own noise for each participant, so that no two files deflate
// alike), with the report the station writes. The two sides run alternately, pair after pair,
// the order turning each pair, so that a change in the machine's load falls on both; every size
// prints the min, median and max of each side and of the pairs' ratios.
//
//   bench_archive [--smoke] [pairs=5] [recordings=10,30] [work folder]
//   (default work folder: the system's temporary one; --smoke: one pair of two 10-second
//   recordings, to show that the benchmark still runs, its figures meaning nothing)
#include "audio/tests/Mp3TestSupport.h"
#include "bench/Smoke.h"
#include "bench/Spread.h"
#include "interview_format/InterviewNames.h"
#include "station/Report.h"
#include "station/core/ArchiveWriting.h"
#include "station/core/InterviewState.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

using namespace station;

namespace {

namespace fs = std::filesystem;

constexpr int Rate = 44100;
int RecordingSeconds = 300;

// The interview the fixture stands for; every name below is built from it by the interview
// format's own rules, so that the close accepts what the benchmark makes.
constexpr std::string_view ExamDate = "05.03.2026";
constexpr std::string_view SchoolCode = "000145";
constexpr std::string_view Room = "012";

// Participant `number`'s recording as the exam page writes it: the shared material rotated by a
// few seconds per participant, under noise of its own.
void EncodeRecording(const std::vector<std::int16_t>& material, int number, const fs::path& path) {
    std::vector<std::int16_t> samples(material.size());
    const std::size_t shift = (std::size_t(number) * 7 * Rate) % material.size();
    std::uint32_t seed = 2026u + std::uint32_t(number) * 7919u;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        const int noise = int((seed >> 16) & 0xFF) - 128;
        const int value = material[(i + shift) % material.size()] + noise;
        samples[i] = static_cast<std::int16_t>(std::clamp(value, -32768, 32767));
    }
    auto source = audio::MakeComponent<mp3test::TMemorySource>(samples, 1, Rate);
    auto output = audio::MakeComponent<audio::TMP3Out>();
    mp3test::UseExamSettings(*output);
    output->SetInput(source.get());
    output->SetFileName(path.string());
    if (!mp3test::RunToEnd(*output, 900) || !output->ExceptionText().empty()) {
        std::fprintf(stderr, "encoding the material failed: %s\n", output->ExceptionText().c_str());
        std::exit(1);
    }
}

// An interview folder of `count` distinct recordings (encoded into `store` once) and its report.
struct Interview {
    fs::path folder;
    std::string reportName;
};

Interview MakeInterview(const fs::path& work, const fs::path& store,
                        const std::vector<std::int16_t>& material, int count) {
    using namespace interview_format;
    const std::string day = NameDayOf(ExamDate);
    Interview interview;
    // One folder per size under a folder of its own: the folder's name is the interview's.
    interview.folder = work / ("size-" + std::to_string(count)) / FolderName(day, SchoolCode, Room);
    fs::create_directories(interview.folder);
    InterviewState state;
    state.region = "Город";
    state.schoolName = "Школа";
    state.schoolCode = "145";
    state.schoolCode6 = std::string(SchoolCode);
    state.room = "12";
    state.room3 = std::string(Room);
    state.participant = count;
    state.folder = interview.folder.string();
    state.examDate = 46086; // 2026-03-05
    interview_format::InterviewReport report = ReportFor(ReportHeadingOf(state));
    for (int i = 1; i <= count; ++i) {
        const fs::path stored = store / (std::to_string(i) + ".mp3");
        if (!fs::exists(stored))
            EncodeRecording(material, i, stored);
        const fs::path recording = interview.folder / RecordingName(i);
        fs::copy_file(stored, recording, fs::copy_options::overwrite_existing);
        report.recordings.push_back(RecordingEntry(recording.string()).entry);
    }
    report.participants = count;
    interview.reportName = ReportName(day, SchoolCode, Room);
    SaveReport(report, (interview.folder / interview.reportName).string());
    return interview;
}

template <typename Body> double Seconds(Body&& body) {
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double WithStation(const Interview& interview, const fs::path& zipPath) {
    fs::remove(zipPath);
    ArchiveOutcome outcome;
    const double seconds = Seconds([&] {
        outcome = WriteProvenArchive(
            {zipPath.string(), interview.folder.string(), interview.reportName}, {});
    });
    if (!outcome.proven) {
        std::fprintf(stderr, "the station's close failed: %s\n", outcome.text.c_str());
        std::exit(1);
    }
    return seconds;
}

double WithCommandLine(const Interview& interview, const fs::path& zipPath) {
    fs::remove(zipPath);
    const std::string pack = "7z a -tzip -mm=Deflate -mx=7 -mpass=3 '" + zipPath.string() + "' '" +
                             interview.folder.string() + "' > /dev/null";
    const std::string test = "7z t '" + zipPath.string() + "' > /dev/null";
    return Seconds([&] {
        if (std::system(pack.c_str()) != 0 || std::system(test.c_str()) != 0) {
            std::fprintf(stderr, "7z failed: %s && %s\n", pack.c_str(), test.c_str());
            std::exit(1);
        }
    });
}

std::vector<int> ParseSizes(const std::string& text) {
    std::vector<int> sizes;
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ','))
        if (const int size = std::atoi(item.c_str()); size > 0)
            sizes.push_back(size);
    return sizes;
}

} // namespace

int main(int argc, char** argv) {
    const bench::Arguments arguments(argc, argv);
    if (arguments.smoke)
        RecordingSeconds = 10;
    const int pairs = std::max(1, std::atoi(arguments.Or(0, arguments.smoke ? "1" : "5").c_str()));
    const std::vector<int> sizes = ParseSizes(arguments.Or(1, arguments.smoke ? "2" : "10,30"));
    const fs::path work = fs::path(arguments.Or(2, fs::temp_directory_path().string())) /
                          ("bench-archive-" + std::to_string(getpid()));
    if (sizes.empty() || std::system("command -v 7z > /dev/null") != 0) {
        std::fprintf(
            stderr, "usage: bench_archive [--smoke] [pairs] [recordings,...] [folder]; needs 7z\n");
        return 1;
    }
    fs::remove_all(work);
    const fs::path store = work / "recordings";
    fs::create_directories(store);
    const std::vector<std::int16_t> material = mp3test::SpeechLike(Rate, RecordingSeconds);
    std::printf("comparing: the station's close (pack the interview folder, read the zip back and "
                "prove every recording against the report)\n"
                "     with: 7z a -tzip -mm=Deflate -mx=7 -mpass=3, then 7z t\n"
                "recordings: distinct, %d s each from the project's encoder; %d alternating "
                "pairs per size\n",
                RecordingSeconds, pairs);
    std::fflush(stdout);

    const fs::path viaStation = work / "station.zip";
    const fs::path viaCommand = work / "command.zip";
    for (const int count : sizes) {
        const Interview interview = MakeInterview(work, store, material, count);
        std::vector<double> station, commandLine, ratios;
        for (int pair = 0; pair < pairs; ++pair) {
            double stationSeconds = 0, commandSeconds = 0;
            if (pair % 2 == 0) {
                stationSeconds = WithStation(interview, viaStation);
                commandSeconds = WithCommandLine(interview, viaCommand);
            } else {
                commandSeconds = WithCommandLine(interview, viaCommand);
                stationSeconds = WithStation(interview, viaStation);
            }
            station.push_back(stationSeconds);
            commandLine.push_back(commandSeconds);
            ratios.push_back(stationSeconds / commandSeconds);
        }
        const bench::Spread s = bench::SpreadOf(station), c = bench::SpreadOf(commandLine),
                            r = bench::SpreadOf(ratios);
        std::uintmax_t folderBytes = 0;
        for (const auto& entry : fs::directory_iterator(interview.folder))
            folderBytes += entry.file_size();
        std::printf("%2d recordings (%ju bytes): station %.2f/%.2f/%.2f s, 7z a + 7z t "
                    "%.2f/%.2f/%.2f s (min/median/max), ratio %.2f/%.2f/%.2f; zips %ju / %ju "
                    "bytes\n",
                    count, folderBytes, s.min, s.median, s.max, c.min, c.median, c.max, r.min,
                    r.median, r.max, static_cast<std::uintmax_t>(fs::file_size(viaStation)),
                    static_cast<std::uintmax_t>(fs::file_size(viaCommand)));
        std::fflush(stdout);
        fs::remove_all(interview.folder.parent_path());
    }
    fs::remove_all(work);
    return 0;
}
