// How much of a recording reaches its file under the conditions of a hard exam day: the exam's
// chain (station::Recorder: capture, level meter, MP3 file) records for a while under each
// condition and prints the seconds of audio in the file against the seconds that went by from the
// start to the stop, with the loss the chain counted and told. Each is a first recording: its
// capture opens a second before the start, as the exam page opens it.
//   normal           the file on a temporary folder
//   slow-disk        the file on a FUSE layer that takes 200 ms per write and 0.5 s per sync
//   second-recorder  a parecord recording from the same source all the while
//
//   bench_capture_loss [--smoke] [--seconds N] [--condition NAME]   (default: 300 s, every
//   condition; --smoke: 3 s each, its figures meaning nothing)
//
// Needs a sound server with a default source (PULSE_SERVER) and, for the slow disk, /dev/fuse and
// the right to mount.
#include "platform/GuiHandover.h"
#include "platform/SoundSystem.h"
#include "station/core/Recorder.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/SlowFileSystem.h"
#include "testsupport/TemporaryFolder.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace {

using namespace std::chrono_literals;

// The main thread plays an idle GUI thread: it sleeps until something is handed over to it.
class GuiThread {
public:
    GuiThread() {
        platform::SetHandoverWakeUp([this] {
            std::lock_guard guard(lock_);
            pending_ = true;
            wake_.notify_one();
        });
    }
    ~GuiThread() { platform::SetHandoverWakeUp({}); }

    void RunFor(std::chrono::steady_clock::duration duration) {
        const auto end = std::chrono::steady_clock::now() + duration;
        for (;;) {
            {
                std::unique_lock lock(lock_);
                if (!wake_.wait_until(lock, end, [this] { return pending_; }))
                    return;
                pending_ = false;
            }
            platform::CheckSynchronize();
        }
    }

private:
    std::mutex lock_;
    std::condition_variable wake_;
    bool pending_ = false;
};

struct Figures {
    double elapsed = 0;
    double captured = 0;
    double lost = 0;
    int lossReports = 0;
    std::string failure;
};

Figures Record(const std::string& folder, std::chrono::seconds length) {
    Figures figures;
    GuiThread gui;
    station::RecorderEvents events;
    events.audioLost = [&](std::chrono::milliseconds) { ++figures.lossReports; };
    station::Recorder recorder(station::ExamChainSettings(), platform::DefaultSoundSystem(),
                               std::move(events));
    // As the exam page does: the capture runs from the page's opening, a while before the first
    // start.
    recorder.OpenCapture();
    gui.RunFor(1s);
    const auto start = std::chrono::steady_clock::now();
    recorder.Start(folder + "/1.mp3");
    gui.RunFor(length);
    // The answer ends when the stop is asked for; finishing the file takes a moment after it.
    figures.elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    recorder.Stop();
    figures.captured = double(recorder.RecordedDuration().count()) / 1000.0;
    figures.lost = double(recorder.LostDuration().count()) / 1000.0;
    figures.failure = recorder.FailureText();
    return figures;
}

void Print(const char* condition, const Figures& figures) {
    std::printf("%-16s elapsed %8.2f s  captured %8.2f s  (%6.2f%%)  lost %7.3f s  (%d loss "
                "reports)%s%s\n",
                condition, figures.elapsed, figures.captured,
                figures.elapsed > 0 ? figures.captured / figures.elapsed * 100.0 : 0.0,
                figures.lost, figures.lossReports,
                figures.failure.empty() ? "" : "  failed: ", figures.failure.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    std::chrono::seconds length = 300s;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            length = std::chrono::seconds(std::max(1, std::atoi(argv[++i])));
        else if (std::strcmp(argv[i], "--condition") == 0 && i + 1 < argc)
            only = argv[++i];
        else if (std::strcmp(argv[i], "--smoke") == 0)
            length = 3s;
        else {
            std::fprintf(stderr,
                         "usage: %s [--smoke] [--seconds N] [--condition "
                         "normal|slow-disk|second-recorder]\n",
                         argv[0]);
            return 2;
        }
    }
    std::printf("recording %lld s under each condition\n", static_cast<long long>(length.count()));
    int status = 0;
    if (only.empty() || only == "normal") {
        testsupport::TemporaryFolder folder("bench-capture-loss");
        Print("normal", Record(folder.Path(), length));
    }
    if (only.empty() || only == "slow-disk") {
        testsupport::SlowFileSystem disk(200ms, 500ms);
        if (disk.Mounted()) {
            Print("slow-disk", Record(disk.Folder(), length));
        } else {
            std::printf("slow-disk        not measured: %s\n", disk.SkipReason().c_str());
            status = 1;
        }
    }
    if (only.empty() || only == "second-recorder") {
        testsupport::TemporaryFolder folder("bench-capture-loss");
        // Another program recording from the same source, as a browser tab or a messenger would.
        testsupport::ChildProcess other({"parecord", folder.Path() + "/other.wav"});
        if (other.Started()) {
            Print("second-recorder", Record(folder.Path(), length));
        } else {
            std::printf("second-recorder  not measured: parecord could not be started\n");
            status = 1;
        }
    }
    return status;
}
