// The output at the end of every recording chain: encodes the chain's 16-bit PCM to MP3 through the
// encoder library, writes the file, appends an ID3v1 block when the recording ends and, when TagLib
// is present, writes the ID3v2 fields into the finished file.
#pragma once

#include "audio/AudioException.h"
#include "audio/AudioFileOut.h"
#include "audio/Mp3FrameEnds.h"
#include "platform/LameEnc.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <vector>

namespace audio {

enum class TMP3BitRate : std::uint8_t {
    mbrAuto,
    mbr32,
    mbr40,
    mbr48,
    mbr56,
    mbr64,
    mbr80,
    mbr96,
    mbr112,
    mbr128,
    mbr144,
    mbr160,
    mbr192,
    mbr224,
    mbr256,
    mbr320
};
enum class TMP3Mode : std::uint8_t { mmStereo, mmJointStereo, mmDual, mmMono };
enum class TMP3Quality : std::uint8_t {
    mp3ql0,
    mp3ql1,
    mp3ql2,
    mp3ql3,
    mp3ql4,
    mp3ql5,
    mp3ql6,
    mp3ql7,
    mp3ql8,
    mp3ql9
};

// kbit/s of a bit rate; 0 for mbrAuto, 128 for an ordinal outside the enumeration.
std::uint32_t BitRateKbps(TMP3BitRate Value);

class TMP3Out : public TAudioTaggedFileOut {
public:
    // The encoded sound goes to the file in blocks of at least this much audio, and at most one
    // write starts in this much time, not one write per encoded chunk (a few hundred bytes): a
    // disk that takes 20-200 ms per write (a USB stick, a network home) then costs at most two
    // waits a second, and a worker catching up on a backlog writes it in larger blocks instead of
    // more of them. What a block holds is also what a power cut can cost beyond the last sync.
    static constexpr std::uint32_t WriteBlockMilliseconds = 500;

    // Loads the encoder and tagging libraries if they can be; a missing one is reported only when
    // a recording starts (the tagging library is optional).
    TMP3Out();
    ~TMP3Out() override;

    TMP3BitRate BitRate() const { return FBitRate; }
    void SetBitRate(TMP3BitRate Value) { FBitRate = Value; }
    TMP3Mode Mode() const { return FMode; }
    void SetMode(TMP3Mode Value) { FMode = Value; }
    bool CRC() const { return FCRC; }
    void SetCRC(bool Value) { FCRC = Value; }
    // Stored only: the encoder's copyright flag is never set.
    bool Copyright() const { return FCopyright; }
    void SetCopyright(bool Value) { FCopyright = Value; }
    bool Original() const { return FOriginal; }
    void SetOriginal(bool Value) { FOriginal = Value; }
    bool EnableBitReservoir() const { return FEnableBitReservoir; }
    void SetEnableBitReservoir(bool Value) { FEnableBitReservoir = Value; }
    bool StrictISO() const { return FStrictISO; }
    void SetStrictISO(bool Value) { FStrictISO = Value; }
    TMP3Quality VBRQuality() const { return FVBRQuality; }
    void SetVBRQuality(TMP3Quality Value) { FVBRQuality = Value; }
    bool EnableVBR() const { return FEnableVBR; }
    void SetEnableVBR(bool Value) { FEnableVBR = Value; }
    TMP3BitRate AverageBitrate() const { return FAverageBitrate; }
    void SetAverageBitrate(TMP3BitRate Value) { FAverageBitrate = Value; }
    TMP3BitRate MaximumBitrate() const { return FMaximumBitrate; }
    void SetMaximumBitrate(TMP3BitRate Value) { FMaximumBitrate = Value; }

    // The encoder's configuration record for an input of this rate and channel count, as the
    // start of a recording fills it.
    BE_CONFIG EncoderConfig(std::uint32_t SampleRate, std::uint32_t Channels) const;

protected:
    void BeginOutput() override;
    bool OutputBlock(bool Abort) override;
    void EndOutput() override;

private:
    void FinishFile();
    // At the end of a pass: encodes what a live input has already captured, so that a stop keeps
    // every sound up to it, also the backlog a slow disk left. Returns what failed meanwhile.
    std::exception_ptr EncodeCaptured();
    // Takes one block of the input and encodes its whole chunks into the waiting block; false at
    // the end of the data (what was left of a chunk is then encoded too).
    bool EncodeBlock();
    // Encodes the staged whole chunks, and with `Ended` the part chunk after them as well.
    void EncodeStaged(bool Ended);
    void EncodeChunk(std::uint8_t* Chunk, std::uint32_t Bytes);
    // Adds what the encoder gave to the block waiting for the file.
    void GatherEncoded(std::uint32_t Bytes);
    // Writes the waiting block; a write the system refused in part is cut back to the last whole
    // frame and raised.
    void WritePending();
    void CutToWholeFrames();
    // "Error writing down mp3 file", its cause the failed write's errno.
    EAudioException WriteFailure() const;
    // Samples of the chunk to encode: whole frames only; two channels into a mono stream are
    // mixed down first.
    std::uint32_t PrepareChunk(std::uint8_t* Chunk, std::uint32_t Bytes);

    std::atomic<TMP3BitRate> FBitRate{TMP3BitRate::mbr128};
    std::atomic<TMP3Mode> FMode{TMP3Mode::mmStereo};
    std::atomic<bool> FCRC{false};
    std::atomic<bool> FCopyright{false};
    std::atomic<bool> FOriginal{true};
    std::atomic<bool> FEnableBitReservoir{false};
    std::atomic<bool> FStrictISO{false};
    std::atomic<TMP3Quality> FVBRQuality{TMP3Quality::mp3ql0};
    std::atomic<bool> FEnableVBR{false};
    std::atomic<TMP3BitRate> FAverageBitrate{TMP3BitRate::mbrAuto};
    std::atomic<TMP3BitRate> FMaximumBitrate{TMP3BitRate::mbrAuto};

    // One recording's working state, used only on the worker.
    BE_CONFIG FConfig{};
    HBE_STREAM FEncoderStream = 0;
    bool FEncoderOpen = false;
    bool FInputOpened = false;
    std::uint32_t FChannels = 0;
    // The block taken from the input: room for ChunksPerBlock of the encoder's chunks, so that one
    // read takes all a live source has at hand; FStaged bytes of it wait to be encoded.
    static constexpr std::uint32_t ChunksPerBlock = 16;
    std::vector<std::uint8_t> FChunk;
    std::uint32_t FChunkBytes = 0;
    std::uint32_t FStaged = 0;
    std::vector<std::uint8_t> FMp3Buffer;
    // Encoded bytes not yet written, and the input frames they hold.
    std::vector<std::uint8_t> FPending;
    std::uint32_t FPendingFrames = 0;
    std::uint32_t FWriteBlockFrames = 0;
    std::chrono::steady_clock::time_point FLastWrite{};
    TMp3FrameEnds FFrameEnds;
    bool FWriteFailed = false;
    platform::FailureCause FWriteCause; // of the write (or close) that failed the file
};

} // namespace audio
