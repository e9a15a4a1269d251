// The streams and syncs of one initialisation of the playback library, played over one connection
// to the sound server. Sync callbacks run on the connection's loop thread with no lock held.
#pragma once

#include "platform/Playback.h"
#include "platform/player/Mp3Decoder.h"
#include "platform/player/PulseLoop.h"
#include "platform/player/PulseOutput.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace platform::player {

// Every method raises PlaybackError with the code the caller reports.
class PlaybackEngine {
public:
    PlaybackEngine();
    PlaybackEngine(const PlaybackEngine&) = delete;
    PlaybackEngine& operator=(const PlaybackEngine&) = delete;
    ~PlaybackEngine();

    // Releases every stream, then ends the loop thread. Later calls raise BASS_ERROR_INIT.
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
        std::unique_ptr<Mp3Decoder> Decoder;
        std::unique_ptr<PulseOutput> Output; // after Decoder: stops before the decoder goes
        std::vector<Sync> Syncs;
        bool PlayedOut = false;
        bool EndAnnounced = false; // the END syncs of this play-out have been queued for calling
    };
    // An END to call: every END sync of the stream, or only the one just set on a stream that had
    // already played out.
    struct PendingEnd {
        HSTREAM Stream;
        HSYNC Only;
    };

    Stream& Find(HSTREAM handle); // locked
    void OnPlayedOut(HSTREAM handle);
    void OnConnectionLost();
    void CallPendingEnds(std::unique_lock<std::mutex>& lock);
    void CallSync(std::unique_lock<std::mutex>& lock, HSTREAM stream, HSYNC sync);

    std::map<HSTREAM, std::unique_ptr<Stream>> streams_;
    std::deque<PendingEnd> pendingEnds_;
    bool closed_ = false;
    PulseLoop loop_; // last: its thread may call back into the members above
};

} // namespace platform::player
