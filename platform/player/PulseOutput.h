// One playback on the sound server's default output, fed from a decoder. Created, used and
// destroyed with the connection's lock held; its callbacks run on the connection's loop thread.
#pragma once

#include <functional>

struct pa_context;
struct pa_operation;
struct pa_stream;

namespace platform::player {

class Mp3Decoder;

class PulseOutput {
public:
    // Starts playing what `decoder` gives. `over` is called once (on the loop thread, locked) when
    // the last sample has been played, or when the playback failed for good. Raises PlaybackError
    // BASS_ERROR_START when the server refuses the playback.
    PulseOutput(pa_context* context, Mp3Decoder& decoder, std::function<void()> over);
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;
    // Stops at once; `over` is not called afterwards.
    ~PulseOutput();

private:
    static void OnWritable(pa_stream* stream, size_t bytes, void* self);
    static void OnState(pa_stream* stream, void* self);
    static void OnDrained(pa_stream* stream, int success, void* self);
    void Fill(size_t bytes);
    void ReportOver();

    Mp3Decoder& decoder_;
    std::function<void()> over_;
    pa_stream* stream_ = nullptr;
    pa_operation* drain_ = nullptr;
    bool decodedAll_ = false;
    bool reported_ = false;
};

} // namespace platform::player
