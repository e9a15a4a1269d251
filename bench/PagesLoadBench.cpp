// The station's CPU share while a participant is recorded, against the plainest program that does
// the same job: `parecord | lame` capturing the same source (the server's default) at the same
// settings (44100 Hz, 16 bits, mono, constant 128 kbit/s, frame checksums, no bit reservoir). The
// station runs its real window on the exam page (offscreen), its real chain, the timer and the
// meter; the pipeline's share is that of every process in it. The two run alternately for the same
// time, pair after pair, the order turning each pair, so that a change in the machine's load falls
// on both. Per thread, the station's last recording shows where its time goes; the meter's update
// rate and the capture's overruns are printed with it.
//
// The station's recording file is synced to the disk every second on a thread of its own; `nosync`
// measures it without that sync, so that the two runs show what the sync costs the capture (no
// overrun and no CPU, as it must).
//
//   bench_pages_load [--smoke] [seconds=90] [pairs=3] [sync|nosync]   (PULSE_SERVER: a server with
//   a default source; --smoke: one pair of 3 s, its figures meaning nothing)
#include "audio/AudioCapture.h"
#include "audio/AudioMP3.h"
#include "bench/PagesBenchSupport.h"
#include "bench/Smoke.h"
#include "bench/Spread.h"
#include "platform/DiskSync.h"
#include "testsupport/TemporaryFolder.h"

#include <sys/resource.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

using namespace station;

namespace {

using pagesbench::Clock;

// The exam capture's count of overruns, as its chain last told it.
std::atomic<std::uint32_t> ExamOverruns{0};

// CPU seconds and wake-ups (voluntary context switches) of each thread of this process, by
// thread id, with its name.
struct ThreadTime {
    std::string name;
    double seconds = 0;
    long wakeUps = 0;
};
struct ThreadTimes {
    std::map<int, ThreadTime> threads;
};

long VoluntarySwitches(const std::string& task) {
    std::ifstream status("/proc/self/task/" + task + "/status");
    const std::string key = "voluntary_ctxt_switches:";
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + key.size());
    return 0;
}

ThreadTimes ReadThreadTimes() {
    ThreadTimes times;
    const double tick = double(::sysconf(_SC_CLK_TCK));
    DIR* tasks = ::opendir("/proc/self/task");
    if (!tasks)
        return times;
    while (const dirent* entry = ::readdir(tasks)) {
        const int tid = std::atoi(entry->d_name);
        if (tid <= 0)
            continue;
        std::ifstream stat("/proc/self/task/" + std::string(entry->d_name) + "/stat");
        std::string line;
        std::getline(stat, line);
        const auto open = line.find('('), close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos)
            continue;
        std::istringstream rest(line.substr(close + 2));
        std::string field;
        std::vector<std::string> fields;
        while (rest >> field)
            fields.push_back(field);
        if (fields.size() < 13)
            continue;
        times.threads[tid] = {line.substr(open + 1, close - open - 1),
                              (std::stod(fields[11]) + std::stod(fields[12])) / tick,
                              VoluntarySwitches(entry->d_name)};
    }
    ::closedir(tasks);
    return times;
}

double ProcessCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ChildrenCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Counts the meter's updates that reach the station's observers.
struct MeterCounter : StationObserver {
    std::int64_t updates = 0;
    void LevelChanged(std::int64_t) override { ++updates; }
};

struct StationRun {
    double percent = 0;
    double meterPerSecond = 0;
    std::uint32_t overruns = 0;
    ThreadTimes before, after;
    double seconds = 0;
};

// Records one participant for `seconds` (after a settling second) and stops.
StationRun RecordWithStation(pagesbench::Station& station, MeterCounter& meter, bool first,
                             double seconds) {
    Interview& core = station.Core();
    if (first)
        core.StartRecording();
    else
        core.NextParticipant();
    pagesbench::Pump(1.0);
    StationRun run;
    const std::uint32_t overrunsBefore = ExamOverruns;
    const std::int64_t meterBefore = meter.updates;
    run.before = ReadThreadTimes();
    const double cpuStart = ProcessCpuSeconds();
    const auto wallStart = Clock::now();
    pagesbench::Pump(seconds);
    run.seconds = pagesbench::Seconds(wallStart, Clock::now());
    run.percent = 100.0 * (ProcessCpuSeconds() - cpuStart) / run.seconds;
    run.after = ReadThreadTimes();
    run.meterPerSecond = double(meter.updates - meterBefore) / run.seconds;
    run.overruns = ExamOverruns - overrunsBefore;
    core.StopRecording();
    return run;
}

// The pipeline for `seconds` (after the same settling second); its share of one core.
double RecordWithPipeline(const std::string& work, double seconds) {
    const std::string command =
        "timeout -s INT " + std::to_string(seconds + 1.0) +
        " parecord --raw --format=s16le --rate=44100 --channels=1 2>/dev/null | lame --quiet -r "
        "-s 44.1 --bitwidth 16 --signed --little-endian -m m -b 128 --cbr -p --nores - '" +
        work + "/pipeline.mp3'";
    const double cpuStart = ChildrenCpuSeconds();
    const auto wallStart = Clock::now();
    if (std::system(command.c_str()) == -1) {
        std::fprintf(stderr, "the pipeline could not be started\n");
        std::exit(1);
    }
    const double wall = pagesbench::Seconds(wallStart, Clock::now());
    return 100.0 * (ChildrenCpuSeconds() - cpuStart) / wall;
}

void PrintThreads(const StationRun& run) {
    std::printf("threads of the station's last recording (CPU seconds and wake-ups per second "
                "over %.0f s):\n",
                run.seconds);
    const int self = ::getpid();
    for (const auto& [tid, entry] : run.after.threads) {
        const auto found = run.before.threads.find(tid);
        const bool known = found != run.before.threads.end();
        const double used = entry.seconds - (known ? found->second.seconds : 0.0);
        const long wakeUps = entry.wakeUps - (known ? found->second.wakeUps : 0);
        // The station names its own threads; the process's first thread is the GUI's.
        const char* role = tid == self ? " (GUI thread)" : "";
        std::printf("  %7d %-16s %6.2f s  %5.2f %%  %6.1f wake-ups/s%s\n", tid, entry.name.c_str(),
                    used, 100.0 * used / run.seconds, double(wakeUps) / run.seconds, role);
    }
}

} // namespace

int main(int argc, char** argv) {
    const bench::Arguments arguments(argc, argv);
    const double seconds = arguments.smoke ? 3.0 : std::atof(arguments.Or(0, "90").c_str());
    const int pairs = arguments.smoke ? 1 : std::max(1, std::atoi(arguments.Or(1, "3").c_str()));
    const bool periodicSync = arguments.Or(2, "sync") != "nosync";
    if (std::system("command -v parecord >/dev/null && command -v lame >/dev/null") != 0) {
        std::fprintf(stderr, "parecord and lame are needed for the pipeline to compare with\n");
        return 1;
    }
    std::printf("comparing: the station recording a participant (exam page offscreen, the "
                "server's default source)\n"
                "      with: parecord | lame, same source, 44100 Hz 16 bit mono, CBR 128 kbit/s, "
                "CRC, no bit reservoir\n"
                "%d alternating pairs of %.0f s each\n",
                pairs, seconds);
    const platform::testing::TemporaryFolder folder("bench-pipeline");
    const std::string work = folder.Path();
    pagesbench::Station station(
        {.syncInterval = periodicSync ? std::nullopt : std::optional(std::chrono::milliseconds(0)),
         .overrunsCounted = [](std::uint32_t count) { ExamOverruns = count; }});
    std::atomic<int> dataSyncs{0};
    platform::ObserveDiskSteps([&](const platform::DiskStep& step) {
        if (step.kind == platform::DiskStep::Kind::DataSynced)
            ++dataSyncs;
    });
    MeterCounter meter;
    const Subscription counting = station.Core().Observers().Subscribe(meter);
    pagesbench::Pump(1.0);
    const double idleStart = ProcessCpuSeconds();
    const auto idleWall = Clock::now();
    pagesbench::Pump(std::min(10.0, seconds));
    std::printf("exam page shown, nothing recorded: %.2f %% of one core\n",
                100.0 * (ProcessCpuSeconds() - idleStart) /
                    pagesbench::Seconds(idleWall, Clock::now()));

    std::vector<double> stationShares, pipelineShares, ratios;
    StationRun last;
    std::uint32_t overruns = 0;
    double meterRate = 1e9;
    for (int pair = 0; pair < pairs; ++pair) {
        double stationShare = 0, pipelineShare = 0;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (pair % 2 == 0)) {
                last = RecordWithStation(station, meter, pair == 0, seconds);
                stationShare = last.percent;
                overruns += last.overruns;
                meterRate = std::min(meterRate, last.meterPerSecond);
            } else {
                pipelineShare = RecordWithPipeline(work, seconds);
            }
        }
        std::printf("pair %d: station %.2f %%, pipeline %.2f %%, ratio %.2f, overruns %u\n",
                    pair + 1, stationShare, pipelineShare, stationShare / pipelineShare,
                    last.overruns);
        stationShares.push_back(stationShare);
        pipelineShares.push_back(pipelineShare);
        ratios.push_back(stationShare / pipelineShare);
    }
    const bench::Spread s = bench::SpreadOf(stationShares), p = bench::SpreadOf(pipelineShares),
                        r = bench::SpreadOf(ratios);
    std::printf("station  (%% of one core): min %.2f  median %.2f  max %.2f\n", s.min, s.median,
                s.max);
    std::printf("pipeline (%% of one core): min %.2f  median %.2f  max %.2f\n", p.min, p.median,
                p.max);
    std::printf("ratio station / pipeline:  min %.2f  median %.2f  max %.2f\n", r.min, r.median,
                r.max);
    std::printf("meter updates: at least %.1f per second; capture overruns: %u\n", meterRate,
                overruns);
    std::printf("the recording's file %s: %d data syncs\n",
                periodicSync ? "synced every second" : "without the periodic sync",
                dataSyncs.load());
    PrintThreads(last);
    std::printf("memory: resident %ld kB, peak %ld kB\n", pagesbench::StatusKilobytes("VmRSS:"),
                pagesbench::StatusKilobytes("VmHWM:"));
    platform::ObserveDiskSteps({});
    return 0;
}
