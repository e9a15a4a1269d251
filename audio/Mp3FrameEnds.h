// Follows the MP3 frame headers in the bytes an encoder hands to its file, so that a write that
// reached the disk only in part (a full disk) can be cut back to the end of the last whole frame:
// the recording up to there stays a valid MP3 that every player and the receiver's check accept.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace audio {

// The length in bytes of the MPEG audio Layer III frame whose 4-byte header is `Header`, or 0
// when it is no such header.
std::uint32_t Mp3FrameLength(const std::uint8_t* Header);

class TMp3FrameEnds {
public:
    // `Count` more bytes, following those before, reached the file.
    void Written(const std::uint8_t* Data, std::size_t Count);
    // Where the last whole frame ends (0 before the first); nothing once the bytes stopped being
    // frames, when no cut can be judged.
    std::optional<std::int64_t> WholeEnd() const;
    // All the bytes written so far.
    std::int64_t Total() const { return FWritten; }

private:
    std::int64_t FWritten = 0;
    std::int64_t FFrameStart = 0;
    std::int64_t FFrameEnd = -1; // known once the frame's header is whole
    std::array<std::uint8_t, 4> FHeader{};
    std::size_t FHeaderBytes = 0;
    bool FLost = false;
};

} // namespace audio
