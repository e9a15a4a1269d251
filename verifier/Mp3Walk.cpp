#include "verifier/Mp3Walk.h"
#include "verifier/DecoderFailure.h"

#include <mpg123.h>

#include <limits>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace interview_check {
namespace {

void InitialiseLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

} // namespace

Mp3Walk::Mp3Walk(bool decodeAudio) : decodeAudio_(decodeAudio) {
    InitialiseLibraryOnce();
    int error = MPG123_OK;
    handle_ = mpg123_new(nullptr, &error);
    if (!handle_)
        throw DecoderFailure(std::string("Декодер MP3 не создаётся (") +
                             mpg123_plain_strerror(error) + ")");
    // Quiet: the decoder must not write to the verifier's output. No resync: junk between
    // frames is a fault to report, not something to skip over.
    mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_NO_RESYNC, 0);
    if (mpg123_open_feed(handle_) != MPG123_OK) {
        const std::string text = mpg123_strerror(handle_);
        mpg123_delete(handle_);
        throw DecoderFailure("Декодер MP3 не открывается (" + text + ")");
    }
}

Mp3Walk::Mp3Walk(AudioSink sink) : Mp3Walk(true) {
    sink_ = std::move(sink);
    // Float output keeps what lies beyond full scale, which is what a count of clipped samples
    // needs; only the encoding is narrowed, every rate and channel count stays allowed.
    mpg123_format_none(handle_);
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i)
        if (mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32) !=
            MPG123_OK)
            throw DecoderFailure(std::string("Декодер MP3 не выдаёт звук в формате float (") +
                                 mpg123_strerror(handle_) + ")");
}

Mp3Walk::~Mp3Walk() {
    mpg123_close(handle_);
    mpg123_delete(handle_);
}

void Mp3Walk::Fail(const std::string& reason) {
    if (facts_.failure.empty())
        facts_.failure = reason;
}

void Mp3Walk::Feed(const unsigned char* data, std::size_t size) {
    if (!facts_.failure.empty() || size == 0)
        return;
    if (mpg123_feed(handle_, data, size) != MPG123_OK) {
        Fail(std::string("декодер MP3 не принял данные (") + mpg123_strerror(handle_) + ")");
        return;
    }
    TakeFrames();
}

void Mp3Walk::TakeFrames() {
    for (;;) {
        const int result = mpg123_framebyframe_next(handle_);
        if (result == MPG123_NEED_MORE)
            return;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            Fail("не MP3 после кадра " + std::to_string(facts_.frames) + " (" +
                 mpg123_strerror(handle_) + ")");
            return;
        }
        // libmpg123 steps over an ID3v2 block wherever it finds one; inside a recording such
        // bytes are no part of it and must be heard of.
        const std::int64_t at = mpg123_framepos(handle_);
        if (facts_.frames > 0 && at != nextFrameAt_) {
            Fail("после кадра " + std::to_string(facts_.frames) + " " +
                 std::to_string(at - nextFrameAt_) +
                 " байт не являются кадрами MP3 (вставка внутри записи)");
            return;
        }
        mpg123_frameinfo info{};
        mpg123_info(handle_, &info);
        nextFrameAt_ = at + info.framesize;
        long rate = 0;
        int channels = 0;
        int encoding = 0;
        mpg123_getformat(handle_, &rate, &channels, &encoding);
        if (facts_.frames == 0) {
            facts_.sampleRate = rate;
            facts_.channels = channels;
        } else if (rate != facts_.sampleRate || channels != facts_.channels) {
            Fail("формат звука меняется на кадре " + std::to_string(facts_.frames + 1));
            return;
        }
        if (decodeAudio_) {
            off_t number = 0;
            unsigned char* audio = nullptr;
            std::size_t bytes = 0;
            if (mpg123_framebyframe_decode(handle_, &number, &audio, &bytes) != MPG123_OK) {
                Fail("кадр " + std::to_string(facts_.frames + 1) + " не декодируется (" +
                     mpg123_strerror(handle_) + ")");
                return;
            }
            if (sink_ && bytes > 0)
                sink_(reinterpret_cast<const float*>(audio),
                      bytes / (sizeof(float) * static_cast<std::size_t>(channels)), channels, rate);
        }
        ++facts_.frames;
        samples_ += static_cast<std::uint64_t>(mpg123_spf(handle_));
    }
}

Mp3Facts Mp3Walk::Finish() {
    if (facts_.failure.empty()) {
        long left = 0;
        double ignored = 0;
        mpg123_getstate(handle_, MPG123_BUFFERFILL, &left, &ignored);
        if (facts_.frames == 0)
            Fail("не MP3: не найдено ни одного кадра");
        else if (left > 0)
            Fail("запись обрывается: " + std::to_string(left) +
                 " байт в конце не составляют целого кадра");
    }
    if (facts_.sampleRate > 0)
        facts_.seconds = static_cast<double>(samples_) / static_cast<double>(facts_.sampleRate);
    return facts_;
}

} // namespace interview_check
