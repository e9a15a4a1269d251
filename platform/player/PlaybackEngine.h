// The streams and syncs of one initialisation of the playback library, played over one connection
// to the sound server. The connection's thread only notes that a playback is over; sync callbacks
// run on the engine's own thread, one at a time, with no lock held.
#pragma once

#include "platform/Playback.h"
#include "platform/player/Mp3Decoder.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::pulse {
class PulseConnection;
class PulseStream;
} // namespace platform::pulse

namespace platform::player {

// Every method raises PlaybackError with the code the caller reports.
class PlaybackEngine {
public:
    PlaybackEngine();
    PlaybackEngine(const PlaybackEngine&) = delete;
    PlaybackEngine& operator=(const PlaybackEngine&) = delete;
    ~PlaybackEngine();

    // Releases every stream, then ends the callback thread and the connection. Later calls raise
    // BASS_ERROR_INIT.
    void Shutdown();
    HSTREAM AddStream(std::unique_ptr<Mp3Decoder> decoder);
    void Play(HSTREAM handle, bool restart);
    HSYNC SetSync(HSTREAM handle, DWORD type, SYNCPROC* proc, void* user);
    void RemoveSync(HSTREAM handle, HSYNC sync);
    void FreeStream(HSTREAM handle);

private:
    struct Sync {
        HSYNC Handle;
        SYNCPROC* Proc;
        void* User;
        bool OneTime;
    };
    struct Stream {
        Stream();
        ~Stream();
        std::unique_ptr<Mp3Decoder> Decoder;
        std::unique_ptr<pulse::PulseStream> Output; // after Decoder: stops before the decoder goes
        std::vector<Sync> Syncs;
        std::uint64_t Play =
            0; // which play-out the stream is on; a late notice of another is stale
        bool PlayedOut = false;
        bool EndAnnounced = false; // the END syncs of this play-out have been called
    };
    // An END to call: every END sync of the stream's play-out, or only the one just set on a
    // stream that had already played out.
    struct PendingEnd {
        HSTREAM Stream;
        std::uint64_t Play;
        HSYNC Only;
    };

    Stream& Find(HSTREAM handle); // locked
    // Any thread, with or without the engine's lock.
    void Post(PendingEnd end);
    void RunCallbacks();
    void CallEnd(std::unique_lock<std::mutex>& lock, const PendingEnd& end);
    void CallSync(std::unique_lock<std::mutex>& lock, HSTREAM stream, HSYNC sync);

    std::shared_ptr<pulse::PulseConnection> connection_;
    std::mutex mutex_; // the streams, their syncs and `closed_`
    std::map<HSTREAM, std::unique_ptr<Stream>> streams_;
    bool closed_ = false;

    // The queue of the callback thread. Its lock is taken last, never held while calling out.
    std::mutex queueMutex_;
    std::condition_variable queueChanged_;
    std::deque<PendingEnd> pending_;
    bool quit_ = false;
    bool ended_ = false;
    std::thread callbacks_; // last: it uses the members above
};

} // namespace platform::player
