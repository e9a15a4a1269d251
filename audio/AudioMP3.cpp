#include "audio/AudioMP3.h"

#include "audio/AudioException.h"
#include "audio/Mp3Tags.h"
#include "audio/WideText.h"
#include "audio/lame.h"
#include "audio/taglib.h"
#include "platform/DiskSync.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <string>

namespace audio {
namespace {

constexpr std::uint32_t KbpsOfBitRate[] = {0,   32,  40,  48,  56,  64,  80,  96,
                                           112, 128, 144, 160, 192, 224, 256, 320};

BE_BOOL RecordBool(bool value) {
    return value ? -1 : 0;
}

[[noreturn]] void RaiseLameError(BE_ERR result) {
    throw EAudioException("LAME Error: " + std::to_string(result),
                          {platform::FailureKind::EncoderFailed, 0});
}

} // namespace

std::uint32_t BitRateKbps(TMP3BitRate Value) {
    const auto ordinal = static_cast<std::size_t>(Value);
    return ordinal < std::size(KbpsOfBitRate) ? KbpsOfBitRate[ordinal] : 128;
}

TMP3Out::TMP3Out() {
    EncoderLibrary().Load();
    TagLibrary().Load();
}

TMP3Out::~TMP3Out() {
    // EndOutput uses this object's own members: the pass must be over before they go.
    try {
        Stop(false);
    } catch (...) {
    }
}

BE_CONFIG TMP3Out::EncoderConfig(std::uint32_t SampleRate, std::uint32_t Channels) const {
    BE_CONFIG config;
    std::memset(&config, 0, sizeof config);
    config.dwConfig = BE_CONFIG_LAME;
    config.dwStructVersion = BE_CONFIG_VERSION;
    config.dwStructSize = BE_CONFIG_SIZE;
    config.dwSampleRate = SampleRate;
    const TMP3Mode mode = Mode();
    config.nMode = Channels == 1              ? BE_MP3_MODE_MONO
                   : mode == TMP3Mode::mmDual ? BE_MP3_MODE_STEREO
                                              : static_cast<std::int32_t>(mode);
    config.dwBitrate = BitRateKbps(BitRate());
    config.dwMaxBitrate = BitRateKbps(MaximumBitrate());
    config.bCRC = RecordBool(CRC());
    config.bOriginal = RecordBool(Original());
    config.bWriteVBRHeader = RecordBool(EnableVBR());
    config.bEnableVBR = RecordBool(EnableVBR());
    config.nVBRQuality = EnableVBR() ? static_cast<std::int32_t>(VBRQuality()) : 0;
    config.dwVbrAbr_bps = BitRateKbps(AverageBitrate());
    config.nVbrMethod = config.dwVbrAbr_bps != 0 ? BE_VBR_METHOD_ABR : BE_VBR_METHOD_NEW;
    config.bNoRes = RecordBool(!EnableBitReservoir());
    config.bStrictIso = RecordBool(StrictISO());
    return config;
}

void TMP3Out::BeginOutput() {
    FEncoderOpen = false;
    FInputOpened = false;
    FFrameEnds = {};
    FPending.clear();
    FPendingFrames = 0;
    FLastWrite = std::chrono::steady_clock::now();
    FWriteFailed = false;
    FWriteCause = {};
    if (!EncoderLibrary().Load())
        throw EAudioException(std::string(EncoderLibraryFileName) + " library could not be loaded.",
                              {platform::FailureKind::LibraryMissing, 0});
    if (!StreamAssigned()) {
        if (WideName().empty())
            throw EAudioException("File name is not assigned.");
        CreateFileStream();
    }
    FInputOpened = true;
    Input()->Open();

    FChannels = Input()->Channels();
    FConfig = EncoderConfig(Input()->SampleRate(), FChannels);
    BE_DWORD samplesPerChunk = 0;
    BE_DWORD outputBufferBytes = 0;
    HBE_STREAM stream = 0;
    FChunk.clear();
    FStaged = 0;
    FMp3Buffer.clear();
    const BE_ERR result = EncoderLibrary().Get().beInitStream(&FConfig, &samplesPerChunk,
                                                              &outputBufferBytes, &stream);
    if (result != BE_ERR_SUCCESSFUL) {
        // Everything is undone here, so the end of the pass has nothing left to finish. Busy stays
        // set until the worker's end steps: a Run accepted before them would be counted as started
        // and then dropped by them, and the next synchronous stop would wait for it for ever.
        FreeFileStream();
        FInputOpened = false;
        try {
            Input()->Close();
        } catch (...) {
            // The refused record is the failure to report.
        }
        RaiseLameError(result);
    }
    FEncoderStream = stream;
    FEncoderOpen = true;
    FChunkBytes = FChannels * samplesPerChunk;
    FChunk.resize(std::size_t(FChunkBytes) * ChunksPerBlock);
    FStaged = 0;
    FMp3Buffer.resize(outputBufferBytes);
    FWriteBlockFrames = Input()->SampleRate() * WriteBlockMilliseconds / 1000;
    FPending.reserve(std::size_t(FWriteBlockFrames) / 8 + 2 * outputBufferBytes);
}

std::uint32_t TMP3Out::PrepareChunk(std::uint8_t* Chunk, std::uint32_t Bytes) {
    auto* samples = reinterpret_cast<std::int16_t*>(Chunk);
    const std::uint32_t frames = Bytes / (2 * FChannels);
    if (FChannels == 2 && FConfig.nMode == BE_MP3_MODE_MONO) {
        // The encoder takes one channel in a mono stream.
        for (std::uint32_t i = 0; i < frames; ++i)
            samples[i] = static_cast<std::int16_t>((samples[2 * i] + samples[2 * i + 1]) / 2);
        return frames;
    }
    return frames * FChannels;
}

void TMP3Out::GatherEncoded(std::uint32_t Bytes) {
    FPending.insert(FPending.end(), FMp3Buffer.begin(), FMp3Buffer.begin() + Bytes);
}

void TMP3Out::WritePending() {
    FPendingFrames = 0;
    FLastWrite = std::chrono::steady_clock::now();
    if (FPending.empty())
        return;
    errno = 0;
    const std::size_t written = Stream()->Write(FPending.data(), FPending.size());
    // Only what reached the file counts for the frames: a cut then lands on a frame the file has.
    FFrameEnds.Written(FPending.data(), written);
    const bool whole = written == FPending.size();
    FPending.clear();
    if (!whole) {
        FWriteCause = platform::CauseOfError(errno, platform::FailureKind::FileNotWritten);
        CutToWholeFrames();
        throw WriteFailure();
    }
}

EAudioException TMP3Out::WriteFailure() const {
    // The failed write's own cause, not the folder's state afterwards: a disk that filled may have
    // room again by the time anyone looks.
    return EAudioException("Error writing down mp3 file", FWriteCause);
}

void TMP3Out::CutToWholeFrames() {
    FWriteFailed = true;
    // What was recorded before the disk filled is kept, ending on a whole frame.
    if (const std::optional<std::int64_t> end = FFrameEnds.WholeEnd()) {
        try {
            Stream()->SetSize(*end);
        } catch (const EAudioException&) {
            // The write failure is what the operator hears of; the cut is the best effort here.
        }
    }
}

void TMP3Out::EncodeChunk(std::uint8_t* Chunk, std::uint32_t Bytes) {
    const std::uint32_t samples = PrepareChunk(Chunk, Bytes);
    BE_DWORD encoded = 0;
    const BE_ERR result = EncoderLibrary().Get().beEncodeChunk(
        FEncoderStream, samples, reinterpret_cast<const std::int16_t*>(Chunk), FMp3Buffer.data(),
        &encoded);
    // A refused chunk would be a silent gap in the recording.
    if (result != BE_ERR_SUCCESSFUL)
        RaiseLameError(result);
    GatherEncoded(encoded);
    FPendingFrames += Bytes / (2 * FChannels);
}

void TMP3Out::EncodeStaged(bool Ended) {
    std::uint32_t done = 0;
    while (FStaged - done >= FChunkBytes || (Ended && FStaged > done)) {
        const std::uint32_t piece = std::min(FChunkBytes, FStaged - done);
        EncodeChunk(FChunk.data() + done, piece);
        done += piece;
    }
    if (done > 0 && FStaged > done)
        std::memmove(FChunk.data(), FChunk.data() + done, FStaged - done);
    FStaged -= done;
}

bool TMP3Out::EncodeBlock() {
    // One block as the input has it at hand (a live source: what one wake took), behind what the
    // last block left of a chunk; every whole chunk of it is encoded, the rest waits.
    const void* block = nullptr;
    std::uint32_t bytes = static_cast<std::uint32_t>(FChunk.size()) - FStaged;
    Input()->ReadBlock(block, bytes);
    // A stage may answer more than asked only through a fault of its own; never let that write
    // past the buffer.
    bytes = std::min(bytes, static_cast<std::uint32_t>(FChunk.size()) - FStaged);
    if (block == nullptr)
        bytes = 0;
    if (bytes > 0) {
        std::memcpy(FChunk.data() + FStaged, block, bytes);
        FStaged += bytes;
    }
    const bool ended = bytes == 0;
    EncodeStaged(ended);
    return !ended;
}

bool TMP3Out::OutputBlock(bool Abort) {
    if (!Prepared())
        return true;
    if (Abort)
        return false;
    const bool more = EncodeBlock();
    if (FPendingFrames >= FWriteBlockFrames &&
        std::chrono::steady_clock::now() - FLastWrite >=
            std::chrono::milliseconds(WriteBlockMilliseconds))
        WritePending();
    return more;
}

std::exception_ptr TMP3Out::EncodeCaptured() {
    if (!FInputOpened || FWriteFailed || !Input())
        return nullptr;
    // Gathered whole and written once with the encoder's tail: a slow disk pays for one write,
    // not one per block. A failure here still lets the file be finished; it is raised afterwards,
    // since the file then lacks sound from before the stop. What was read and waits for a whole
    // chunk is encoded in any case.
    try {
        if (Input()->StopAtCaptured())
            while (EncodeBlock()) {
            }
        EncodeStaged(true);
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

void TMP3Out::FinishFile() {
    if (!FEncoderOpen) {
        FreeFileStream();
        return;
    }
    const std::exception_ptr captureFailure = EncodeCaptured();
    FEncoderOpen = false;
    const TEncoderEntryPoints& lame = EncoderLibrary().Get();
    BE_DWORD bytes = 0;
    lame.beDeinitStream(FEncoderStream, FMp3Buffer.data(), &bytes);
    // The end of the recording is finished in every case; a tail that did not reach the disk is
    // reported afterwards, so that no incomplete file passes for a whole one. After a refused write
    // nothing more is written: the file already ends on its last whole frame.
    bool complete = !FWriteFailed;
    if (complete) {
        try {
            GatherEncoded(bytes);
            WritePending();
        } catch (const EAudioException&) {
            complete = false;
        }
    }
    FPending = {};
    if (complete) {
        const TId3v1Block block = MakeId3v1Block(Id3v1Tags());
        errno = 0;
        if (Stream()->Write(block.data(), block.size()) != block.size()) {
            FWriteCause = platform::CauseOfError(errno, platform::FailureKind::FileNotWritten);
            complete = false;
            CutToWholeFrames();
        }
    }
    try {
        CloseFileStream();
    } catch (const EAudioException& error) {
        if (complete)
            FWriteCause = error.Cause();
        complete = false;
    }
    lame.beCloseStream(FEncoderStream);
    const std::string name = FileName();
    if (FConfig.bEnableVBR != 0 && !name.empty())
        lame.beWriteVBRHeader(name.c_str());
    FChunk = {};
    FMp3Buffer = {};
    if (!complete)
        throw WriteFailure();
    if (!name.empty() && TagLibrary().Loaded()) {
        const std::string path = Utf16ToUtf8(WideName());
        WriteId3v2Fields(path, Id3v2Tags());
        // The tags were written into the closed file: what they moved must reach the disk too.
        try {
            platform::SyncFile(path);
        } catch (const platform::FileError& error) {
            throw EAudioException(error.what(), error.Cause());
        }
    }
    if (captureFailure)
        std::rethrow_exception(captureFailure);
}

void TMP3Out::EndOutput() {
    std::exception_ptr failure;
    try {
        FinishFile();
    } catch (...) {
        failure = std::current_exception();
    }
    if (FInputOpened) {
        FInputOpened = false;
        if (TAudioInput* input = Input())
            input->Close();
    }
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace audio
