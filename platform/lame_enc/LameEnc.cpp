// The encoder library over libmp3lame: one LAME encoder per stream handle, configured from the
// packed record, with the record's mistakes answered by error codes instead of by LAME's own
// silent corrections.
#include "platform/LameEnc.h"
#include "platform/CBoundary.h"
#include "platform/lame_enc/LameTagWriter.h"

#include <lame/lame.h>

#include <algorithm>
#include <array>
#include <cstdarg>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#define LAME_ENC_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// A limit on open streams, so that a caller that never closes its streams is told so.
constexpr std::size_t MaximumStreams = 256;

constexpr std::array<BE_DWORD, 18> ValidBitrates = {8,  16,  24,  32,  40,  48,  56,  64,  80,
                                                    96, 112, 128, 144, 160, 192, 224, 256, 320};
constexpr std::array<BE_DWORD, 9> ValidSampleRates = {8000,  11025, 12000, 16000, 22050,
                                                      24000, 32000, 44100, 48000};

template <typename Container, typename Value> bool Contains(const Container& list, Value value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

void Quiet(const char*, va_list) {}

struct LameCloser {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

struct EncoderStream {
    std::unique_ptr<lame_global_flags, LameCloser> flags;
    int channels = 1;
    BE_DWORD samplesPerChunk = 0;
    BE_DWORD outputBufferBytes = 0;
    bool writesLameTag = false;
    bool finished = false; // beDeinitStream ran: no more samples are taken
    std::vector<std::uint8_t> lameTag;
};

class StreamTable {
public:
    std::optional<HBE_STREAM> Add(std::shared_ptr<EncoderStream> stream) {
        std::lock_guard guard(lock_);
        if (streams_.size() >= MaximumStreams)
            return std::nullopt;
        // Handles are never reused, so a stale handle cannot reach another caller's stream.
        const HBE_STREAM handle = ++lastHandle_;
        streams_.emplace(handle, std::move(stream));
        return handle;
    }
    std::shared_ptr<EncoderStream> Find(HBE_STREAM handle) {
        std::lock_guard guard(lock_);
        const auto found = streams_.find(handle);
        return found == streams_.end() ? nullptr : found->second;
    }
    std::shared_ptr<EncoderStream> Remove(HBE_STREAM handle) {
        std::lock_guard guard(lock_);
        const auto found = streams_.find(handle);
        if (found == streams_.end())
            return nullptr;
        auto stream = std::move(found->second);
        streams_.erase(found);
        return stream;
    }

private:
    std::mutex lock_;
    std::map<HBE_STREAM, std::shared_ptr<EncoderStream>> streams_;
    HBE_STREAM lastHandle_ = 0;
};

// Holds its value for the life of the process and never destroys it.
template <typename T> union Immortal {
    Immortal() : value() {}
    ~Immortal() {}
    T value;
};

StreamTable& Streams() {
    // Never destroyed: when the process exits without returning from main (the display lost), a
    // recording's worker may still be encoding while static objects are destroyed, until the
    // program's last words stop it.
    static Immortal<StreamTable> table;
    return table.value;
}

// beWriteVBRHeader names only the file: the header it writes is the one of the stream that was
// last closed on the same thread (each recording closes its stream and then writes its header).
thread_local std::vector<std::uint8_t> pendingVbrHeader;

BE_DWORD KbpsOfMeanRate(BE_DWORD value) {
    return value < 1000 ? value : (value + 500) / 1000;
}

bool ValidOptionalBitrate(BE_DWORD kbps) {
    return kbps == 0 || Contains(ValidBitrates, kbps);
}

// Applies the record to a fresh encoder; false when a field holds a value the record does not
// allow.
bool Configure(lame_global_flags* flags, const BE_CONFIG& config) {
    const bool variable = config.bEnableVBR != 0 && config.nVbrMethod != BE_VBR_METHOD_NONE;
    if (config.nMode < BE_MP3_MODE_STEREO || config.nMode > BE_MP3_MODE_MONO)
        return false;
    if (config.dwSampleRate == 0 ||
        (config.dwReSampleRate != 0 && !Contains(ValidSampleRates, config.dwReSampleRate)))
        return false;
    if (!ValidOptionalBitrate(config.dwBitrate) || !ValidOptionalBitrate(config.dwMaxBitrate))
        return false;
    if (config.dwEmphasis > 3 || config.nVbrMethod < BE_VBR_METHOD_NONE ||
        config.nVbrMethod > BE_VBR_METHOD_ABR)
        return false;

    lame_set_errorf(flags, Quiet);
    lame_set_debugf(flags, Quiet);
    lame_set_msgf(flags, Quiet);
    const int channels = config.nMode == BE_MP3_MODE_MONO ? 1 : 2;
    lame_set_num_channels(flags, channels);
    lame_set_in_samplerate(flags, static_cast<int>(config.dwSampleRate));
    if (config.dwReSampleRate != 0)
        lame_set_out_samplerate(flags, static_cast<int>(config.dwReSampleRate));
    static constexpr MPEG_mode Modes[] = {STEREO, JOINT_STEREO, DUAL_CHANNEL, MONO};
    lame_set_mode(flags, Modes[config.nMode]);
    lame_set_emphasis(flags, static_cast<int>(config.dwEmphasis));
    lame_set_extension(flags, config.bPrivate != 0);
    lame_set_error_protection(flags, config.bCRC != 0);
    lame_set_copyright(flags, config.bCopyright != 0);
    lame_set_original(flags, config.bOriginal != 0);
    lame_set_disable_reservoir(flags, config.bNoRes != 0);
    lame_set_strict_ISO(flags, config.bStrictIso != 0);
    lame_set_bWriteVbrTag(flags, config.bWriteVBRHeader != 0);
    const unsigned quality = config.nQuality & 0xFFu;
    if ((config.nQuality >> 8) == (~quality & 0xFFu)) {
        if (quality > 9)
            return false;
        lame_set_quality(flags, static_cast<int>(quality));
    }

    if (!variable) {
        lame_set_VBR(flags, vbr_off);
        if (config.dwBitrate != 0)
            lame_set_brate(flags, static_cast<int>(config.dwBitrate));
        return true;
    }
    if (config.nVBRQuality < 0 || config.nVBRQuality > 9)
        return false;
    if (config.nVbrMethod == BE_VBR_METHOD_ABR) {
        const BE_DWORD mean = KbpsOfMeanRate(config.dwVbrAbr_bps);
        if (mean < 8 || mean > 320)
            return false;
        lame_set_VBR(flags, vbr_abr);
        lame_set_VBR_mean_bitrate_kbps(flags, static_cast<int>(mean));
    } else {
        lame_set_VBR(flags, config.nVbrMethod == BE_VBR_METHOD_OLD ? vbr_rh : vbr_mtrh);
    }
    lame_set_VBR_q(flags, config.nVBRQuality);
    if (config.dwBitrate != 0)
        lame_set_VBR_min_bitrate_kbps(flags, static_cast<int>(config.dwBitrate));
    if (config.dwMaxBitrate != 0)
        lame_set_VBR_max_bitrate_kbps(flags, static_cast<int>(config.dwMaxBitrate));
    return true;
}

// Room for the encoded form of one chunk, by LAME's own rule (1.25 x samples + 7200), counted in
// output samples so that resampling upwards still fits.
BE_DWORD OutputBufferBytes(const lame_global_flags* flags, BE_DWORD framesPerChunk) {
    const double ratio = std::max(1.0, static_cast<double>(lame_get_out_samplerate(flags)) /
                                           lame_get_in_samplerate(flags));
    return static_cast<BE_DWORD>(1.25 * framesPerChunk * ratio) + 7200;
}

BE_ERR EncodeResult(int result, BE_DWORD* outputBytes) {
    if (result < 0) {
        *outputBytes = 0;
        return result == -1 ? BE_ERR_BUFFER_TOO_SMALL : BE_ERR_INVALID_FORMAT_PARAMETERS;
    }
    *outputBytes = static_cast<BE_DWORD>(result);
    return BE_ERR_SUCCESSFUL;
}

// Without room for the tag the stream still ends with all its audio; only the header write that
// needs the tag fails later.
void KeepLameTag(EncoderStream& stream) noexcept {
    if (!stream.writesLameTag)
        return;
    try {
        std::vector<std::uint8_t> frame(MaximumFrameBytes);
        const std::size_t size =
            lame_get_lametag_frame(stream.flags.get(), frame.data(), frame.size());
        frame.resize(size <= frame.size() ? size : 0);
        stream.lameTag = std::move(frame);
    } catch (const std::bad_alloc&) {
        stream.lameTag.clear();
    }
}

// Running out of memory is running out of resources for a stream; any other failure inside means
// the call could not be carried out as asked.
template <typename Body> BE_ERR Guarded(Body&& body) noexcept {
    return platform::CatchAtCBoundary(BE_ERR_NO_MORE_HANDLES, BE_ERR_INVALID_FORMAT_PARAMETERS,
                                      std::forward<Body>(body));
}

} // namespace

LAME_ENC_EXPORT BE_ERR beInitStream(BE_CONFIG* config, BE_DWORD* samplesPerChunk,
                                    BE_DWORD* outputBufferBytes, HBE_STREAM* stream) {
    return Guarded([&]() -> BE_ERR {
        if (!config || !samplesPerChunk || !outputBufferBytes || !stream)
            return BE_ERR_INVALID_FORMAT_PARAMETERS;
        if (config->dwConfig != BE_CONFIG_LAME || config->dwStructVersion != BE_CONFIG_VERSION ||
            config->dwStructSize != BE_CONFIG_SIZE)
            return BE_ERR_INVALID_FORMAT;

        auto encoder = std::make_shared<EncoderStream>();
        encoder->flags.reset(lame_init());
        if (!encoder->flags)
            return BE_ERR_NO_MORE_HANDLES;
        lame_global_flags* flags = encoder->flags.get();
        if (!Configure(flags, *config) || lame_init_params(flags) < 0)
            return BE_ERR_INVALID_FORMAT_PARAMETERS;
        // LAME moves an impossible constant rate to the nearest possible one; the caller asked for
        // a stream it would not get.
        if (lame_get_VBR(flags) == vbr_off && config->dwBitrate != 0 &&
            lame_get_brate(flags) != static_cast<int>(config->dwBitrate))
            return BE_ERR_INVALID_FORMAT_PARAMETERS;

        encoder->channels = lame_get_num_channels(flags);
        const BE_DWORD framesPerChunk = static_cast<BE_DWORD>(lame_get_framesize(flags));
        encoder->samplesPerChunk = framesPerChunk * static_cast<BE_DWORD>(encoder->channels);
        encoder->outputBufferBytes = OutputBufferBytes(flags, framesPerChunk);
        encoder->writesLameTag = config->bWriteVBRHeader != 0;
        const BE_DWORD chunk = encoder->samplesPerChunk;
        const BE_DWORD bufferBytes = encoder->outputBufferBytes;
        const auto handle = Streams().Add(std::move(encoder));
        if (!handle)
            return BE_ERR_NO_MORE_HANDLES;
        *samplesPerChunk = chunk;
        *outputBufferBytes = bufferBytes;
        *stream = *handle;
        return BE_ERR_SUCCESSFUL;
    });
}

LAME_ENC_EXPORT BE_ERR beEncodeChunk(HBE_STREAM handle, BE_DWORD sampleCount,
                                     const int16_t* samples, uint8_t* output,
                                     BE_DWORD* outputBytes) {
    return Guarded([&]() -> BE_ERR {
        const auto stream = Streams().Find(handle);
        if (!stream || stream->finished)
            return BE_ERR_INVALID_HANDLE;
        if (!outputBytes || !output || (sampleCount != 0 && !samples))
            return BE_ERR_INVALID_FORMAT_PARAMETERS;
        *outputBytes = 0;
        if (sampleCount % static_cast<BE_DWORD>(stream->channels) != 0)
            return BE_ERR_INVALID_FORMAT_PARAMETERS;
        // The output buffer was sized for one chunk; more samples might not fit into it.
        if (sampleCount > stream->samplesPerChunk)
            return BE_ERR_BUFFER_TOO_SMALL;
        const int frames = static_cast<int>(sampleCount) / stream->channels;
        const int size = static_cast<int>(stream->outputBufferBytes);
        // LAME reads the samples only, whatever its signatures say.
        auto* pcm = const_cast<short*>(reinterpret_cast<const short*>(samples));
        const int result =
            stream->channels == 1
                ? lame_encode_buffer(stream->flags.get(), pcm, nullptr, frames, output, size)
                : lame_encode_buffer_interleaved(stream->flags.get(), pcm, frames, output, size);
        return EncodeResult(result, outputBytes);
    });
}

LAME_ENC_EXPORT BE_ERR beDeinitStream(HBE_STREAM handle, uint8_t* output, BE_DWORD* outputBytes) {
    return Guarded([&]() -> BE_ERR {
        const auto stream = Streams().Find(handle);
        if (!stream || stream->finished)
            return BE_ERR_INVALID_HANDLE;
        if (!output || !outputBytes)
            return BE_ERR_INVALID_FORMAT_PARAMETERS;
        const int result = lame_encode_flush(stream->flags.get(), output,
                                             static_cast<int>(stream->outputBufferBytes));
        stream->finished = true;
        KeepLameTag(*stream);
        return EncodeResult(result, outputBytes);
    });
}

LAME_ENC_EXPORT BE_ERR beFlushNoGap(HBE_STREAM handle, uint8_t* output, BE_DWORD* outputBytes) {
    return Guarded([&]() -> BE_ERR {
        const auto stream = Streams().Find(handle);
        if (!stream || stream->finished)
            return BE_ERR_INVALID_HANDLE;
        if (!output || !outputBytes)
            return BE_ERR_INVALID_FORMAT_PARAMETERS;
        const int result = lame_encode_flush_nogap(stream->flags.get(), output,
                                                   static_cast<int>(stream->outputBufferBytes));
        return EncodeResult(result, outputBytes);
    });
}

LAME_ENC_EXPORT BE_ERR beCloseStream(HBE_STREAM handle) {
    return Guarded([&]() -> BE_ERR {
        const auto stream = Streams().Remove(handle);
        if (!stream)
            return BE_ERR_INVALID_HANDLE;
        if (stream->writesLameTag)
            pendingVbrHeader = std::move(stream->lameTag);
        return BE_ERR_SUCCESSFUL;
    });
}

LAME_ENC_EXPORT BE_ERR beWriteVBRHeader(const char* fileName) {
    return Guarded([&]() -> BE_ERR {
        if (!fileName)
            return BE_ERR_INVALID_FORMAT_PARAMETERS;
        if (pendingVbrHeader.empty())
            return BE_ERR_INVALID_HANDLE;
        const std::vector<std::uint8_t> frame = std::move(pendingVbrHeader);
        pendingVbrHeader.clear();
        return WriteLameTagFrame(fileName, frame) ? BE_ERR_SUCCESSFUL
                                                  : BE_ERR_INVALID_FORMAT_PARAMETERS;
    });
}

// Writes the stream's Info/Xing frame into the finished file and closes the stream.
LAME_ENC_EXPORT BE_ERR beWriteInfoTag(HBE_STREAM handle, const char* fileName) {
    return Guarded([&]() -> BE_ERR {
        const auto stream = Streams().Remove(handle);
        if (!stream)
            return BE_ERR_INVALID_HANDLE;
        if (!fileName || !stream->writesLameTag)
            return BE_ERR_INVALID_FORMAT_PARAMETERS;
        if (!stream->finished)
            KeepLameTag(*stream);
        return WriteLameTagFrame(fileName, stream->lameTag) ? BE_ERR_SUCCESSFUL
                                                            : BE_ERR_INVALID_FORMAT_PARAMETERS;
    });
}
