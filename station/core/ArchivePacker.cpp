#include "station/core/ArchivePacker.h"

#include "platform/GuiHandover.h"
#include "platform/ThreadName.h"

namespace station {

ArchivePacker::ArchivePacker(ArchiveRequest request, ProgressHandler progress, DoneHandler done)
    : request_(std::move(request)), progress_(std::move(progress)), done_(std::move(done)),
      worker_([this] { Run(); }) {}

ArchivePacker::~ArchivePacker() {
    Wait();
}

bool ArchivePacker::Running() const {
    std::lock_guard guard(lock_);
    return !finished_;
}

void ArchivePacker::Wait() {
    {
        std::unique_lock guard(lock_);
        // The packing thread hands its last calls to this thread: they must run while it waits.
        platform::WaitRunningHandovers(guard, changed_, [this] { return finished_; });
    }
    if (worker_.joinable())
        worker_.join();
}

void ArchivePacker::Report(const PackingProgress& progress) {
    const auto now = std::chrono::steady_clock::now();
    const bool complete =
        progress.filesDone == progress.filesTotal && progress.bytesDone == progress.bytesTotal;
    if (!complete && now - lastProgress_ < ProgressInterval)
        return;
    lastProgress_ = now;
    if (progress_)
        platform::Synchronize([&] { progress_(progress); });
}

void ArchivePacker::Run() {
    platform::NameCurrentThread("archive-packer");
    const ArchiveOutcome outcome =
        WriteProvenArchive(request_, [this](const PackingProgress& progress) { Report(progress); });
    try {
        if (done_)
            platform::Synchronize([&] { done_(outcome); });
    } catch (...) {
        // The handler's failure is the GUI thread's to show; this thread only has to end.
    }
    {
        std::lock_guard guard(lock_);
        finished_ = true;
    }
    changed_.notify_all();
}

} // namespace station
