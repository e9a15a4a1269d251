#include "station/app/LibraryPlayer.h"

#include "platform/Playback.h"

namespace station {

LibraryPlayer::LibraryPlayer() {
    platform::BASS_Init(platform::BASS_DEVICE_DEFAULT, 44100, 0, nullptr, nullptr);
}

LibraryPlayer::~LibraryPlayer() {
    platform::BASS_Free();
}

void LibraryPlayer::SetEndHandler(EndHandler handler) {
    std::lock_guard guard(lock_);
    endHandler_ = std::move(handler);
}

Playback LibraryPlayer::Play(const std::string& fileName) {
    // No result is examined: a file that cannot be opened gives stream 0, and the later calls
    // fail quietly.
    Playback playback;
    playback.stream = platform::BASS_StreamCreateFile(false, fileName.c_str(), 0, 0, 0);
    platform::BASS_ChannelPlay(playback.stream, false);
    playback.sync = platform::BASS_ChannelSetSync(
        playback.stream, platform::BASS_SYNC_END, 0,
        [](platform::HSYNC sync, platform::DWORD channel, platform::DWORD, void* user) {
            static_cast<LibraryPlayer*>(user)->Ended({channel, sync});
        },
        this);
    return playback;
}

void LibraryPlayer::Release(const Playback& playback) {
    platform::BASS_ChannelRemoveSync(playback.stream, playback.sync);
    platform::BASS_StreamFree(playback.stream);
}

void LibraryPlayer::Ended(Playback ended) {
    EndHandler handler;
    {
        std::lock_guard guard(lock_);
        handler = endHandler_;
    }
    // Called without the lock: the handler waits for the GUI thread, which may be setting it.
    if (handler)
        handler(ended);
}

} // namespace station
