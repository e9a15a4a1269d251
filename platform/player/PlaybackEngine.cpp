#include "platform/player/PlaybackEngine.h"

#include "platform/player/PlaybackError.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>

namespace platform::player {

namespace {

// Stream and sync handles share one sequence, so a stale handle of either kind never names a
// newer object of the other kind, and handles stay unique across initialisations.
DWORD NextHandle() {
    static std::atomic<DWORD> last{0};
    DWORD handle = 0;
    while (handle == 0)
        handle = ++last;
    return handle;
}

} // namespace

PlaybackEngine::PlaybackEngine()
    : loop_([this](std::unique_lock<std::mutex>& lock) { CallPendingEnds(lock); },
            [this] { OnConnectionLost(); }) {}

PlaybackEngine::~PlaybackEngine() {
    try {
        Shutdown();
    } catch (const PlaybackError&) {
        // Only refused on the loop thread, which never owns the engine.
    }
}

void PlaybackEngine::Shutdown() {
    {
        std::lock_guard lock(loop_.Mutex());
        if (closed_)
            return;
        if (loop_.IsLoopThread())
            throw PlaybackError(BASS_ERROR_NOTAVAIL,
                                "The playback library cannot be freed from a sync callback.");
        closed_ = true;
        pendingEnds_.clear();
        streams_.clear();
    }
    loop_.Stop();
}

PlaybackEngine::Stream& PlaybackEngine::Find(HSTREAM handle) {
    if (closed_)
        throw PlaybackError(BASS_ERROR_INIT, "The playback library is not initialised.");
    const auto found = streams_.find(handle);
    if (found == streams_.end())
        throw PlaybackError(BASS_ERROR_HANDLE, "No such stream.");
    return *found->second;
}

HSTREAM PlaybackEngine::AddStream(std::unique_ptr<Mp3Decoder> decoder) {
    std::lock_guard lock(loop_.Mutex());
    if (closed_)
        throw PlaybackError(BASS_ERROR_INIT, "The playback library is not initialised.");
    const HSTREAM handle = NextHandle();
    auto stream = std::make_unique<Stream>();
    stream->Decoder = std::move(decoder);
    streams_.emplace(handle, std::move(stream));
    return handle;
}

void PlaybackEngine::Play(HSTREAM handle, bool restart) {
    std::lock_guard lock(loop_.Mutex());
    Stream& stream = Find(handle);
    if (!loop_.IsReady())
        throw PlaybackError(BASS_ERROR_DRIVER, "The connection to the sound server was lost.");
    if (!restart) {
        if (stream.PlayedOut)
            throw PlaybackError(BASS_ERROR_ENDED, "The stream has played out.");
        if (stream.Output)
            return;
    }
    stream.Output.reset();
    std::erase_if(pendingEnds_, [handle](const PendingEnd& end) { return end.Stream == handle; });
    if (restart)
        stream.Decoder->Rewind();
    stream.PlayedOut = false;
    stream.EndAnnounced = false;
    stream.Output = std::make_unique<PulseOutput>(loop_.Context(), *stream.Decoder,
                                                  [this, handle] { OnPlayedOut(handle); });
    loop_.Wake();
}

HSYNC PlaybackEngine::SetSync(HSTREAM handle, DWORD type, SYNCPROC* proc, void* user) {
    std::lock_guard lock(loop_.Mutex());
    Stream& stream = Find(handle);
    if ((type & ~BASS_SYNC_ONETIME) != BASS_SYNC_END)
        throw PlaybackError(BASS_ERROR_ILLTYPE, "Only the END sync is supported.");
    if (!proc)
        throw PlaybackError(BASS_ERROR_ILLPARAM, "A sync needs a callback.");
    const HSYNC sync = NextHandle();
    stream.Syncs.push_back({sync, proc, user, (type & BASS_SYNC_ONETIME) != 0});
    // Before the announcement the pending END of the play-out picks the new sync up by itself.
    if (stream.PlayedOut && stream.EndAnnounced) {
        pendingEnds_.push_back({handle, sync});
        loop_.Wake();
    }
    return sync;
}

void PlaybackEngine::RemoveSync(HSTREAM handle, HSYNC sync) {
    std::lock_guard lock(loop_.Mutex());
    auto& syncs = Find(handle).Syncs;
    if (std::erase_if(syncs, [sync](const Sync& each) { return each.Handle == sync; }) == 0)
        throw PlaybackError(BASS_ERROR_HANDLE, "No such sync.");
}

void PlaybackEngine::FreeStream(HSTREAM handle) {
    std::lock_guard lock(loop_.Mutex());
    Find(handle);
    // Destroyed here, locked: the playback stops and the file is closed before the caller goes on.
    streams_.erase(handle);
}

void PlaybackEngine::OnPlayedOut(HSTREAM handle) {
    const auto found = streams_.find(handle);
    if (found == streams_.end() || found->second->PlayedOut)
        return;
    found->second->PlayedOut = true;
    pendingEnds_.push_back({handle, 0});
}

void PlaybackEngine::OnConnectionLost() {
    // A playback cut off by the server's end is over for good; its END syncs say so.
    for (const auto& [handle, stream] : streams_)
        if (stream->Output)
            OnPlayedOut(handle);
}

void PlaybackEngine::CallPendingEnds(std::unique_lock<std::mutex>& lock) {
    while (!closed_ && !pendingEnds_.empty()) {
        const PendingEnd end = pendingEnds_.front();
        pendingEnds_.pop_front();
        const auto found = streams_.find(end.Stream);
        if (found == streams_.end())
            continue;
        Stream& stream = *found->second;
        std::vector<HSYNC> targets;
        if (end.Only == 0) {
            stream.Output.reset(); // played out: give the server its stream back
            stream.EndAnnounced = true;
            for (const Sync& sync : stream.Syncs)
                targets.push_back(sync.Handle);
        } else {
            targets.push_back(end.Only);
        }
        // Each call may free the stream, remove syncs or shut down; look everything up afresh.
        for (const HSYNC sync : targets)
            CallSync(lock, end.Stream, sync);
    }
}

void PlaybackEngine::CallSync(std::unique_lock<std::mutex>& lock, HSTREAM handle, HSYNC sync) {
    if (closed_)
        return;
    const auto stream = streams_.find(handle);
    if (stream == streams_.end())
        return;
    auto& syncs = stream->second->Syncs;
    const auto found = std::find_if(syncs.begin(), syncs.end(),
                                    [sync](const Sync& each) { return each.Handle == sync; });
    if (found == syncs.end())
        return;
    const Sync call = *found;
    if (call.OneTime)
        syncs.erase(found);
    lock.unlock();
    try {
        call.Proc(call.Handle, handle, 0, call.User);
    } catch (const std::exception& error) {
        // The callback's owner cannot be told: a throwing callback must not end the thread that
        // plays everything else.
        std::fprintf(stderr, "Playback sync callback failed: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "Playback sync callback failed.\n");
    }
    lock.lock();
}

} // namespace platform::player
