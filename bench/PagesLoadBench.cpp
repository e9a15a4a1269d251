// The station's CPU share and memory while a participant is recorded: the real window on the exam
// page (offscreen), the real chain on the sound server's default source, the timer and the meter
// running. CPU time is the whole process's (every thread), against the wall time.
//
//   bench_pages_load [seconds=30]   (PULSE_SERVER: a server with a default source)
#include "bench/PagesBenchSupport.h"

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

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
    pagesbench::Station station;
    const long rssBefore = pagesbench::StatusKilobytes("VmRSS:");
    pagesbench::Pump(1.0);
    std::printf("exam page shown, nothing recorded:  %.2f %% of one core (%.0f s)\n",
                CpuShare(seconds / 3), seconds / 3);

    station.Core().StartRecording();
    pagesbench::Pump(2.0);
    std::printf("recording a participant:            %.2f %% of one core (%.0f s)\n",
                CpuShare(seconds), seconds);
    std::printf("memory: resident %ld kB before recording, %ld kB while recording, peak %ld kB\n",
                rssBefore, pagesbench::StatusKilobytes("VmRSS:"),
                pagesbench::StatusKilobytes("VmHWM:"));
    station.Core().StopRecording();
    return 0;
}
