// The player of the workstation check's playback test.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace station {

// One playback; all zero when nothing plays.
struct Playback {
    std::uint32_t stream = 0;
    std::uint32_t sync = 0; // the end notification's registration
};

class Player {
public:
    // Called on the player's own thread once a playback has played out.
    using EndHandler = std::function<void(Playback ended)>;

    virtual ~Player() = default;
    virtual void SetEndHandler(EndHandler handler) = 0;
    // Starts playing the file; the stream is 0 when it cannot be played (nothing is reported).
    virtual Playback Play(const std::string& fileName) = 0;
    // Stops and releases the playback and its end notification; a playback already released or
    // never started is ignored.
    virtual void Release(const Playback& playback) = 0;
};

} // namespace station
