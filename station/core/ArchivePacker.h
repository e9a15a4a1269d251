// The close's archive made on a thread of its own: a large interview takes many seconds to pack,
// and the window must stay responsive meanwhile. What the packing reports reaches the GUI thread
// through the GUI hand-over queue. The packing is never abandoned: destroying the packer waits for
// it to end, so that no partial zip is left behind.
#pragma once

#include "station/core/ArchiveWriting.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace station {

class ArchivePacker {
public:
    using ProgressHandler = std::function<void(const PackingProgress&)>;
    using DoneHandler = std::function<void(const ArchiveOutcome&)>;

    // Starts packing at once. Both handlers run on the GUI thread; `done` once, after the last
    // progress. Neither may destroy the packer.
    ArchivePacker(ArchiveRequest request, ProgressHandler progress, DoneHandler done);
    ~ArchivePacker();
    ArchivePacker(const ArchivePacker&) = delete;
    ArchivePacker& operator=(const ArchivePacker&) = delete;

    // Whether the packing (with its `done` handler) has yet to end.
    bool Running() const;
    // Returns once the packing has ended and `done` has run; the hand-overs keep flowing meanwhile.
    // GUI thread.
    void Wait();

private:
    void Run();
    void Report(const PackingProgress& progress);

    const ArchiveRequest request_;
    const ProgressHandler progress_;
    const DoneHandler done_;
    // Progress is handed over at most this often: each hand-over waits for the GUI thread.
    static constexpr std::chrono::milliseconds ProgressInterval{100};
    std::chrono::steady_clock::time_point lastProgress_{}; // packing thread only
    mutable std::mutex lock_;
    std::condition_variable changed_;
    bool finished_ = false;
    // Declared last: started once everything it uses exists.
    std::thread worker_;
};

} // namespace station
