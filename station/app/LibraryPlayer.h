// The check's player on the playback library: initialised for the default output while it
// exists, one end sync per playback.
#pragma once

#include "station/core/Player.h"

#include <mutex>

namespace station {

class LibraryPlayer : public Player {
public:
    // A failure to initialise is not reported: the playback test then plays nothing.
    LibraryPlayer();
    ~LibraryPlayer() override;
    LibraryPlayer(const LibraryPlayer&) = delete;
    LibraryPlayer& operator=(const LibraryPlayer&) = delete;

    void SetEndHandler(EndHandler handler) override;
    Playback Play(const std::string& fileName) override;
    void Release(const Playback& playback) override;

private:
    void Ended(Playback ended);

    std::mutex lock_;
    EndHandler endHandler_;
};

} // namespace station
