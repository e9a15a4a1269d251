// The station's CPU share and memory while a participant is recorded: the real window on the exam
// page (offscreen), the real chain on the sound server's default source, the timer and the meter
// running. CPU time is the whole process's (every thread), against the wall time.
//
// The recording is measured twice, without the output's periodic sync and as the station records
// (its file synced to the disk every second on a thread of its own): the sync must cost the
// capture nothing, no overrun and no CPU.
//
//   bench_pages_load [seconds=30]   (PULSE_SERVER: a server with a default source; each recording
//   is measured for `seconds`, the idle page for a third of it)
#include "audio/AudioCapture.h"
#include "audio/AudioMP3.h"
#include "bench/PagesBenchSupport.h"
#include "platform/DiskSync.h"

#include <cstdlib>
#include <ctime>

namespace {

using pagesbench::Clock;

// Percent of one core used by the process while the GUI runs for `seconds`.
double CpuShare(double seconds) {
    const std::clock_t cpuStart = std::clock();
    const auto wallStart = Clock::now();
    pagesbench::Pump(seconds);
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    return 100.0 * cpu / pagesbench::Seconds(wallStart, Clock::now());
}

std::atomic<int> dataSyncs{0};

// One participant recorded for `seconds`, with the output's periodic sync or without it.
void MeasureRecording(pagesbench::Station& station, double seconds, bool periodicSync) {
    Recorder& recorder = station.Core().ExamRecorder();
    const std::chrono::milliseconds interval = recorder.Output().SyncInterval();
    if (!periodicSync)
        recorder.Output().SetSyncInterval(std::chrono::milliseconds(0));
    const std::uint32_t overrunsBefore = recorder.Capture().OverrunCount();
    dataSyncs = 0;
    station.Core().StartRecording();
    pagesbench::Pump(2.0);
    const double share = CpuShare(seconds);
    station.Core().StopRecording();
    recorder.Output().SetSyncInterval(interval);
    std::printf("recording a participant, %s: %.2f %% of one core (%.0f s), %u overruns, %d data "
                "syncs\n",
                periodicSync ? "synced every second      " : "without the periodic sync", share,
                seconds, recorder.Capture().OverrunCount() - overrunsBefore, dataSyncs.load());
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
    pagesbench::Station station;
    platform::ObserveDiskSteps([](const platform::DiskStep& step) {
        if (step.kind == platform::DiskStep::Kind::DataSynced)
            ++dataSyncs;
    });
    const long rssBefore = pagesbench::StatusKilobytes("VmRSS:");
    pagesbench::Pump(1.0);
    std::printf("exam page shown, nothing recorded:  %.2f %% of one core (%.0f s)\n",
                CpuShare(seconds / 3), seconds / 3);

    MeasureRecording(station, seconds, false);
    MeasureRecording(station, seconds, true);
    std::printf("memory: resident %ld kB before recording, %ld kB after recording, peak %ld kB\n",
                rssBefore, pagesbench::StatusKilobytes("VmRSS:"),
                pagesbench::StatusKilobytes("VmHWM:"));
    platform::ObserveDiskSteps({});
    return 0;
}
