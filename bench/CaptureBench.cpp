// CPU cost of recording: the capture source and the gain indicator pulled by an output that
// discards the sound, on the real sound server, as the exam page records (16-bit mono 44100 Hz,
// latency 100 ms, reports every 100 ms). Prints the process's CPU seconds per minute of captured
// audio; the target is under 1% of one core (0.6 s per minute).
//
//   bench_capture [--smoke] [seconds to record, default 20]   (--smoke: 2 seconds)
//
// Needs a sound server (PULSE_SERVER, or the desktop's own).
#include "audio/AudioCapture.h"
#include "audio/AudioIndicators.h"
#include "audio/tests/NullOutput.h"
#include "bench/Smoke.h"
#include "platform/GuiHandover.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

int main(int argc, char** argv) {
    const bench::Arguments arguments(argc, argv);
    const int seconds = arguments.smoke ? 2 : std::max(1, std::atoi(arguments.Or(0, "20").c_str()));
    auto source = audio::MakeComponent<audio::TDSAudioIn>();
    source->SetInBitsPerSample(16);
    source->SetInChannels(1);
    source->SetInSampleRate(44100);
    source->SetLatency(100);
    auto indicator = audio::MakeComponent<audio::TGainIndicator>();
    indicator->SetInput(source.get());
    int reports = 0;
    indicator->OnGainData = [&](audio::TComponent*) { ++reports; };
    auto output = audio::MakeComponent<audio::test::NullOutput>();
    output->SetInput(indicator.get());

    // The main thread plays an idle GUI thread: it sleeps until a level report is handed over,
    // as an event loop does.
    std::mutex wakeLock;
    std::condition_variable wake;
    bool pending = false;
    platform::SetHandoverWakeUp([&] {
        std::lock_guard guard(wakeLock);
        pending = true;
        wake.notify_one();
    });
    auto pumpFor = [&](std::chrono::milliseconds duration) {
        const auto end = std::chrono::steady_clock::now() + duration;
        for (;;) {
            {
                std::unique_lock lock(wakeLock);
                if (!wake.wait_until(lock, end, [&] { return pending; }))
                    return;
                pending = false;
            }
            platform::CheckSynchronize();
        }
    };
    const std::clock_t cpuOpen = std::clock();
    output->Run();
    // The first second holds the one-off costs of a recording (connecting to the server, loading
    // the analysis library); they are reported apart from the steady cost.
    pumpFor(std::chrono::seconds(1));
    const std::clock_t cpuStart = std::clock();
    const std::int64_t bytesStart = output->bytes;
    const auto wallStart = std::chrono::steady_clock::now();
    pumpFor(std::chrono::seconds(seconds));
    const std::int64_t bytesEnd = output->bytes;
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    output->Stop(false);
    platform::SetHandoverWakeUp({});
    const double startCpu = double(cpuStart - cpuOpen) / CLOCKS_PER_SEC;
    if (!output->ExceptionText().empty()) {
        std::fprintf(stderr, "Recording failed: %s\n", output->ExceptionText().c_str());
        return 1;
    }
    const double audioSeconds = double(bytesEnd - bytesStart) / (2.0 * 44100);
    std::printf("captured %.2f s of audio in %.2f s, %d level reports, %u overruns\n", audioSeconds,
                wall, reports, source->OverrunCount());
    std::printf("CPU of the first second (start of a recording): %.3f s\n", startCpu);
    std::printf("CPU after it: %.3f s in total, %.3f s per minute of audio (%.2f%% of one core)\n",
                cpu, cpu * 60.0 / audioSeconds, cpu / audioSeconds * 100.0);
    return 0;
}
