// Everything that can be read in the recording chain: sources and the converters between a source
// and an output. Data flows by pull: the stage downstream asks for bytes; blocks travel as a
// pointer into the producer's own storage plus a byte count.
#pragma once

#include "audio/Component.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace audio {

class TAudioInput : public TComponent {
public:
    TAudioInput() = default;
    ~TAudioInput() override;

    // Format of the blocks this component delivers. bits per sample may carry a mark in bit 7
    // (see TAudioConverter).
    virtual std::uint32_t GetBitsPerSample() const = 0;
    virtual std::uint32_t GetChannels() const = 0;
    virtual std::uint32_t GetSampleRate() const = 0;
    virtual std::uint32_t GetDuration() const { return 0; }
    virtual std::int64_t GetSampleCount() const { return 0; }

    virtual void SetKeepFormatMark(bool Value) { FKeepFormatMark = Value; }
    // Hands out the next block. On entry Bytes is the most the caller wants; on return Buffer
    // points into this component's storage (or its input's) and Bytes is what was delivered there,
    // never more than asked; 0 means nothing more. The block stays valid until the next call on
    // this component.
    virtual void ReadBlock(const void*& Buffer, std::uint32_t& Bytes);
    // Close that ignores a failure and leaves the component closed.
    virtual void ForceClose();
    virtual void PauseInput() {}
    virtual void ResumeInput() {}
    virtual void SeekInput(std::int32_t Offset) { (void)Offset; }
    // For the end of a pass: a live source delivers what it has already captured and then the
    // end of data, never waiting for more, and answers true; any other input answers false and
    // is left as it is. Any thread; undone by the next Open.
    virtual bool StopAtCaptured() { return false; }

    std::uint32_t BitsPerSample() const { return GetBitsPerSample(); }
    std::uint32_t Channels() const { return GetChannels(); }
    std::uint32_t SampleRate() const { return GetSampleRate(); }
    // Bytes delivered since the last Open / total bytes to deliver (-1: endless).
    std::int64_t Position() const { return FPosition; }
    std::int64_t Size() const { return FSize; }
    std::uint16_t FrameSize() const { return FFrameSize; }
    bool Busy() const { return FBusy; }
    bool EndOfData() const { return FEndOfData; }
    bool KeepFormatMark() const { return FKeepFormatMark; }

    // Prepares a pass; a failure of DoOpen of any exception class surfaces as EAudioException with
    // the same message, and EndOfData is then set.
    void Open();
    // Ends the pass; a failure of DoClose passes unchanged.
    void Close();
    // Fills Buffer by repeated ReadBlock calls; returns the bytes copied. DataEnded is true exactly
    // when the last ReadBlock delivered 0 bytes, so a full buffer never reports the end.
    std::uint32_t ReadInto(void* Buffer, std::uint32_t BufferSize, bool& DataEnded);
    void LockData() { FDataLock.lock(); }
    void UnlockData() { FDataLock.unlock(); }

protected:
    // Called only through Open, Close and ReadBlock, with DataLock held. DoOpen sets Busy (and a
    // source resets Position and sets Size); DoClose clears Busy.
    virtual void DoOpen() = 0;
    virtual void DoClose() = 0;
    virtual void DoReadBlock(const void*& Buffer, std::uint32_t& Bytes) = 0;

    // Written on the reading worker, read from any thread.
    std::atomic<std::int64_t> FPosition{0};
    std::atomic<std::int64_t> FSize{0};
    std::atomic<std::uint16_t> FFrameSize{0};
    std::atomic<bool> FBusy{false};
    // Read and fill cursors of a source's own buffer; used only on the reading worker.
    std::uint32_t FBufferStart = 0;
    std::uint32_t FBufferEnd = 0;
    // Serialises Open, Close, ReadBlock and a converter's input exchange. Recursive, so that a
    // holder of LockData may call them.
    std::recursive_mutex FDataLock;
    std::atomic<bool> FEndOfData{false};
    std::atomic<bool> FKeepFormatMark{false};
};

// A stage that reads from another input. A pass-through converter hands on its input's block
// pointer unchanged.
class TAudioConverter : public TAudioInput {
public:
    TAudioConverter() = default;
    ~TAudioConverter() override;

    TAudioInput* Input() const { return FInput; }
    // Exchanging the input of an open converter closes the old input and opens the new one under
    // DataLock; on a failure the stored input is unchanged. Setting the converter itself as its
    // own input does nothing.
    virtual void SetInput(TAudioInput* Value);

    // The input's format, 0 without an input; bit 7 of bits per sample is cleared unless
    // KeepFormatMark is set.
    std::uint32_t GetBitsPerSample() const override;
    std::uint32_t GetChannels() const override;
    std::uint32_t GetSampleRate() const override;
    // Adds the cut at Size and the sticky end of data to DoReadBlock.
    void ReadBlock(const void*& Buffer, std::uint32_t& Bytes) override;
    void PauseInput() override;
    void ResumeInput() override;
    void SeekInput(std::int32_t Offset) override;
    bool StopAtCaptured() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // A converter's DoOpen opens Input and its DoClose closes it; its DoReadBlock should deliver 0
    // bytes when Input is gone (the input was destroyed during a pass).
    std::atomic<TAudioInput*> FInput{nullptr};
};

} // namespace audio
