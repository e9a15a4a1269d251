// The station's CPU share while a participant is recorded, against the plainest programs that do
// the same job: `parecord | lame` capturing the same source (the server's default) at the same
// settings (44100 Hz, 16 bits, mono, constant 128 kbit/s, frame checksums, no bit reservoir), and
// a GStreamer pipeline with a level meter of its own (`pulsesrc ! audioconvert ! level !
// lamemp3enc ! filesink`, 44100 Hz mono 16 bits, constant 128 kbit/s). The station runs its real
// window on the exam page (offscreen), its real chain, the timer and the meter; a pipeline's share
// is that of every process in it. The three run one after the other for the same time, round
// after round, the order turning each round, so that a change in the machine's load falls on all.
// Per thread, the station's last recording shows where its time goes; the meter's update rate and
// the capture's overruns are printed with it.
//
// The station's recording file is synced to the disk every second on a thread of its own; `nosync`
// measures it without that sync, so that the two runs show what the sync costs the capture (no
// overrun and no CPU, as it must).
//
//   bench_pages_load [--smoke] [seconds=90] [rounds=3] [sync|nosync]   (PULSE_SERVER: a server
//   with a default source; --smoke: one round of 3 s, its figures meaning nothing)
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

// The programs compared with, each for `seconds` after the same settling second.
std::string LamePipeline(const std::string& work, double seconds) {
    return "timeout -s INT " + std::to_string(seconds + 1.0) +
           " parecord --raw --format=s16le --rate=44100 --channels=1 2>/dev/null | lame --quiet "
           "-r -s 44.1 --bitwidth 16 --signed --little-endian -m m -b 128 --cbr -p --nores - '" +
           work + "/pipeline.mp3'";
}

// -e ends the stream on the interrupt, so that the encoder finishes the file as a stop does. The
// source reads in 100 ms periods, as the station's worker does; with pulsesrc's own default of
// 10 ms, a server that delivers in large pieces (the test server's sine source) gives it nothing.
std::string GstreamerPipeline(const std::string& work, double seconds) {
    return "timeout -s INT " + std::to_string(seconds + 1.0) +
           " gst-launch-1.0 -q -e pulsesrc latency-time=100000 buffer-time=2000000 ! "
           "audio/x-raw,format=S16LE,rate=44100,channels=1 ! "
           "audioconvert ! level interval=100000000 ! lamemp3enc target=bitrate bitrate=128 "
           "cbr=true ! filesink location='" +
           work + "/gstreamer.mp3' >/dev/null 2>&1";
}

// Runs `command` to its end; its processes' share of one core. A pipeline whose file holds less
// than `leastSeconds` of sound did not do the work compared with, and its figure is refused.
double RunPipeline(const std::string& command, const std::string& file, double leastSeconds) {
    const double cpuStart = ChildrenCpuSeconds();
    const auto wallStart = Clock::now();
    if (std::system(command.c_str()) == -1) {
        std::fprintf(stderr, "the pipeline could not be started\n");
        std::exit(1);
    }
    const double wall = pagesbench::Seconds(wallStart, Clock::now());
    std::error_code error;
    const auto bytes = std::filesystem::file_size(file, error);
    const double recorded = error ? 0.0 : double(bytes) / (128000.0 / 8);
    if (recorded < leastSeconds) {
        std::fprintf(stderr,
                     "%s holds %.1f s of sound, less than %.0f s: its figure would mean "
                     "nothing\n",
                     file.c_str(), recorded, leastSeconds);
        std::exit(1);
    }
    std::filesystem::remove(file, error);
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
    if (std::system("gst-inspect-1.0 pulsesrc >/dev/null 2>&1 && gst-inspect-1.0 level >/dev/null "
                    "2>&1 && gst-inspect-1.0 lamemp3enc >/dev/null 2>&1") != 0) {
        std::fprintf(stderr, "gst-launch-1.0 with pulsesrc, level and lamemp3enc is needed for the "
                             "second pipeline (gstreamer1.0-tools, gstreamer1.0-plugins-good)\n");
        return 1;
    }
    std::printf("comparing: the station recording a participant (exam page offscreen, the "
                "server's default source)\n"
                "      with: parecord | lame, same source, 44100 Hz 16 bit mono, CBR 128 kbit/s, "
                "CRC, no bit reservoir\n"
                "       and: gst-launch-1.0 pulsesrc ! audioconvert ! level ! lamemp3enc ! "
                "filesink, 44100 Hz 16 bit mono, CBR 128 kbit/s\n"
                "%d rounds of %.0f s each\n",
                pairs, seconds);
    const testsupport::TemporaryFolder folder("bench-pipeline");
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

    // A pipeline must have recorded nine tenths of its time (a smoke run's figures mean nothing).
    const double leastSeconds = arguments.smoke ? 0.0 : 0.9 * seconds;
    std::vector<double> stationShares, pipelineShares, gstShares, ratios, gstRatios;
    StationRun last;
    std::uint32_t overruns = 0;
    double meterRate = 1e9;
    bool firstRecording = true;
    for (int round = 0; round < pairs; ++round) {
        double stationShare = 0, pipelineShare = 0, gstShare = 0;
        for (int turn = 0; turn < 3; ++turn) {
            switch ((turn + round) % 3) {
            case 0:
                last = RecordWithStation(station, meter, firstRecording, seconds);
                firstRecording = false;
                stationShare = last.percent;
                overruns += last.overruns;
                meterRate = std::min(meterRate, last.meterPerSecond);
                break;
            case 1:
                pipelineShare =
                    RunPipeline(LamePipeline(work, seconds), work + "/pipeline.mp3", leastSeconds);
                break;
            default:
                gstShare = RunPipeline(GstreamerPipeline(work, seconds), work + "/gstreamer.mp3",
                                       leastSeconds);
                break;
            }
        }
        std::printf("round %d: station %.2f %%, parecord|lame %.2f %%, gstreamer %.2f %%, ratios "
                    "%.2f / %.2f, overruns %u\n",
                    round + 1, stationShare, pipelineShare, gstShare, stationShare / pipelineShare,
                    stationShare / gstShare, last.overruns);
        stationShares.push_back(stationShare);
        pipelineShares.push_back(pipelineShare);
        gstShares.push_back(gstShare);
        ratios.push_back(stationShare / pipelineShare);
        gstRatios.push_back(stationShare / gstShare);
    }
    const bench::Spread s = bench::SpreadOf(stationShares), p = bench::SpreadOf(pipelineShares),
                        g = bench::SpreadOf(gstShares), r = bench::SpreadOf(ratios),
                        rg = bench::SpreadOf(gstRatios);
    std::printf("station  (%% of one core): min %.2f  median %.2f  max %.2f\n", s.min, s.median,
                s.max);
    std::printf("pipeline (%% of one core): min %.2f  median %.2f  max %.2f\n", p.min, p.median,
                p.max);
    std::printf("gstreamer (%% of one core): min %.2f  median %.2f  max %.2f\n", g.min, g.median,
                g.max);
    std::printf("ratio station / pipeline:  min %.2f  median %.2f  max %.2f\n", r.min, r.median,
                r.max);
    std::printf("ratio station / gstreamer:  min %.2f  median %.2f  max %.2f\n", rg.min, rg.median,
                rg.max);
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
