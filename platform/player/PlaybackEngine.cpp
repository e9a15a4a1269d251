#include "platform/player/PlaybackEngine.h"

#include "platform/GuiHandover.h"
#include "platform/ThreadName.h"
#include "platform/player/PlaybackError.h"
#include "platform/pulse/PulseStream.h"

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

// A short buffer: the END should come when the operator stops hearing the file, not seconds
// later, and a freed stream should fall silent at once.
constexpr std::uint32_t BufferMilliseconds = 200;

} // namespace

PlaybackEngine::Stream::Stream() = default;
PlaybackEngine::Stream::~Stream() = default;

PlaybackEngine::PlaybackEngine() {
    if (Failed(pulse::PulseConnection::Open(&connection_)))
        throw PlaybackError(BASS_ERROR_DRIVER, "Cannot connect to the sound server.");
    callbacks_ = std::thread([this] {
        NameCurrentThread("playback-events");
        RunCallbacks();
    });
}

PlaybackEngine::~PlaybackEngine() {
    try {
        Shutdown();
    } catch (const PlaybackError&) {
        // Only refused on the callback thread, which never owns the engine.
    }
}

void PlaybackEngine::Shutdown() {
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return;
        if (std::this_thread::get_id() == callbacks_.get_id())
            throw PlaybackError(BASS_ERROR_NOTAVAIL,
                                "The playback library cannot be freed from a sync callback.");
        closed_ = true;
        streams_.clear();
    }
    {
        // A callback that is running may be waiting for this thread's GUI hand-overs.
        std::unique_lock queue(queueMutex_);
        quit_ = true;
        queueChanged_.notify_all();
        WaitRunningHandovers(queue, queueChanged_, [this] { return ended_; });
    }
    callbacks_.join();
    connection_.reset();
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
    std::lock_guard lock(mutex_);
    if (closed_)
        throw PlaybackError(BASS_ERROR_INIT, "The playback library is not initialised.");
    const HSTREAM handle = NextHandle();
    auto stream = std::make_unique<Stream>();
    stream->Decoder = std::move(decoder);
    streams_.emplace(handle, std::move(stream));
    return handle;
}

void PlaybackEngine::Play(HSTREAM handle, bool restart) {
    std::lock_guard lock(mutex_);
    Stream& stream = Find(handle);
    {
        pulse::PulseConnection::LoopLock loop(*connection_);
        if (!connection_->IsReady())
            throw PlaybackError(BASS_ERROR_DRIVER, "The connection to the sound server was lost.");
    }
    if (!restart) {
        if (stream.PlayedOut)
            throw PlaybackError(BASS_ERROR_ENDED, "The stream has played out.");
        if (stream.Output)
            return;
    }
    stream.Output.reset();
    if (restart)
        stream.Decoder->Rewind();
    const std::uint64_t play = ++stream.Play;
    stream.PlayedOut = false;
    stream.EndAnnounced = false;

    const Mp3Decoder::Format decoded = stream.Decoder->OutputFormat();
    const WaveFormat format = PcmFormat(16, static_cast<std::uint32_t>(decoded.Channels),
                                        static_cast<std::uint32_t>(decoded.SampleRate));
    pulse::PulseStream::Playback playback;
    playback.startCorked = false;
    playback.fill = [decoder = stream.Decoder.get()](void* data, std::size_t bytes) {
        return decoder->Decode(data, bytes);
    };
    playback.over = [this, handle, play] { Post({handle, play, 0}); };
    const std::uint32_t buffer = format.avgBytesPerSec / 1000 * BufferMilliseconds;
    if (Failed(pulse::PulseStream::OpenPlayback(connection_, format, nullptr, buffer,
                                                std::move(playback), &stream.Output)))
        throw PlaybackError(BASS_ERROR_START, "The sound server refused the playback.");
}

HSYNC PlaybackEngine::SetSync(HSTREAM handle, DWORD type, SYNCPROC* proc, void* user) {
    std::lock_guard lock(mutex_);
    Stream& stream = Find(handle);
    if ((type & ~BASS_SYNC_ONETIME) != BASS_SYNC_END)
        throw PlaybackError(BASS_ERROR_ILLTYPE, "Only the END sync is supported.");
    if (!proc)
        throw PlaybackError(BASS_ERROR_ILLPARAM, "A sync needs a callback.");
    const HSYNC sync = NextHandle();
    stream.Syncs.push_back({sync, proc, user, (type & BASS_SYNC_ONETIME) != 0});
    // Before the announcement the pending END of the play-out picks the new sync up by itself.
    if (stream.PlayedOut && stream.EndAnnounced)
        Post({handle, stream.Play, sync});
    return sync;
}

void PlaybackEngine::RemoveSync(HSTREAM handle, HSYNC sync) {
    std::lock_guard lock(mutex_);
    auto& syncs = Find(handle).Syncs;
    if (std::erase_if(syncs, [sync](const Sync& each) { return each.Handle == sync; }) == 0)
        throw PlaybackError(BASS_ERROR_HANDLE, "No such sync.");
}

void PlaybackEngine::FreeStream(HSTREAM handle) {
    std::lock_guard lock(mutex_);
    Find(handle);
    // Destroyed here: the playback stops and the file is closed before the caller goes on.
    streams_.erase(handle);
}

void PlaybackEngine::Post(PendingEnd end) {
    std::lock_guard queue(queueMutex_);
    pending_.push_back(end);
    queueChanged_.notify_all();
}

void PlaybackEngine::RunCallbacks() {
    std::unique_lock queue(queueMutex_);
    while (!quit_) {
        if (pending_.empty()) {
            queueChanged_.wait(queue);
            continue;
        }
        const PendingEnd end = pending_.front();
        pending_.pop_front();
        queue.unlock();
        {
            std::unique_lock lock(mutex_);
            CallEnd(lock, end);
        }
        queue.lock();
    }
    ended_ = true;
    queueChanged_.notify_all();
}

void PlaybackEngine::CallEnd(std::unique_lock<std::mutex>& lock, const PendingEnd& end) {
    if (closed_)
        return;
    const auto found = streams_.find(end.Stream);
    if (found == streams_.end() || found->second->Play != end.Play)
        return;
    Stream& stream = *found->second;
    std::vector<HSYNC> targets;
    if (end.Only == 0) {
        // A playback that played out, or that the server's end cut off, is over for good.
        if (stream.PlayedOut)
            return;
        stream.PlayedOut = true;
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
        // serves every other stream.
        std::fprintf(stderr, "Playback sync callback failed: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "Playback sync callback failed.\n");
    }
    lock.lock();
}

} // namespace platform::player
