// Test doubles of the three roles of a chain: a memory source, a pass-through converter and an
// output that pulls into a buffer, with counters and switches for the faults the tests need.
#pragma once

#include "audio/AudioClasses.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <thread>
#include <vector>

namespace audio::test {

// Serves Data in blocks of at most BlockLimit bytes, or zeros without end when Endless is set.
class TMemorySource : public TAudioInput {
public:
    std::vector<std::uint8_t> Data;
    std::uint32_t BlockLimit = 4096;
    bool Endless = false;
    std::uint32_t Bits = 16, ChannelCount = 1, Rate = 44100;
    std::chrono::microseconds Pace{0}; // slept before each block, like a real-time source
    std::atomic<bool> FailOpen{false};
    std::atomic<int> Opens{0}, Closes{0}, Reads{0};

    std::uint32_t GetBitsPerSample() const override { return Bits; }
    std::uint32_t GetChannels() const override { return ChannelCount; }
    std::uint32_t GetSampleRate() const override { return Rate; }

protected:
    void DoOpen() override {
        ++Opens;
        if (FailOpen)
            throw std::runtime_error("device is gone");
        FBusy = true;
        FPosition = 0;
        FBufferStart = 0;
        FSize = Endless ? -1 : static_cast<std::int64_t>(Data.size());
        if (Endless && Data.size() < BlockLimit)
            Data.assign(BlockLimit, 0);
    }
    void DoClose() override {
        ++Closes;
        FBusy = false;
    }
    void DoReadBlock(const void*& Buffer, std::uint32_t& Bytes) override {
        ++Reads;
        if (Pace.count() > 0)
            std::this_thread::sleep_for(Pace);
        if (Endless)
            FBufferStart = 0;
        const auto left = static_cast<std::uint32_t>(Data.size() - FBufferStart);
        Bytes = std::min({Bytes, BlockLimit, left});
        Buffer = Bytes == 0 ? nullptr : Data.data() + FBufferStart;
        FBufferStart += Bytes;
        FPosition += Bytes;
    }
};

// Hands on its input's blocks unchanged.
class TPassConverter : public TAudioConverter {
public:
    // Size the converter announces at Open; 0 takes the input's.
    std::int64_t AnnouncedSize = 0;

protected:
    void DoOpen() override {
        FBusy = true;
        FPosition = 0;
        if (TAudioInput* input = Input()) {
            input->Open();
            FSize = AnnouncedSize != 0 ? AnnouncedSize : input->Size();
        }
    }
    void DoClose() override {
        if (TAudioInput* input = Input())
            input->Close();
        FBusy = false;
    }
    void DoReadBlock(const void*& Buffer, std::uint32_t& Bytes) override {
        TAudioInput* input = Input();
        if (input == nullptr) {
            Buffer = nullptr;
            Bytes = 0;
            return;
        }
        input->ReadBlock(Buffer, Bytes);
    }
};

// Pulls with ReadInto into its own buffer and counts what happens on the worker.
class TTestOutput : public TAudioOutput {
public:
    explicit TTestOutput(std::uint32_t BufferSize = 1024) : FBuffer(BufferSize) {}
    ~TTestOutput() override { Stop(false); }

    std::atomic<int> Begins{0}, Ends{0}, Blocks{0}, Aborts{0};
    std::atomic<std::uint64_t> BytesRead{0};
    std::atomic<bool> FailBegin{false}, FailBlock{false}, FailEnd{false};
    std::atomic<bool> BusyDuringEnd{false}, PreparedDuringBlock{false};
    // While set, EndOutput waits (at most ten seconds) so that a test can act during the end of a
    // pass.
    std::atomic<bool> HoldEnd{false};

protected:
    void BeginOutput() override {
        ++Begins;
        if (FailBegin)
            throw std::runtime_error("File name is not assigned.");
        Input()->Open();
    }
    bool OutputBlock(bool Abort) override {
        if (Abort) {
            ++Aborts;
            return false;
        }
        ++Blocks;
        PreparedDuringBlock = Prepared();
        if (FailBlock)
            throw EAudioException("Error writing down mp3 file");
        bool ended = false;
        const std::uint32_t got =
            Input()->ReadInto(FBuffer.data(), static_cast<std::uint32_t>(FBuffer.size()), ended);
        BytesRead += got;
        return got > 0 && !ended;
    }
    void EndOutput() override {
        ++Ends;
        BusyDuringEnd = Busy();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (HoldEnd && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (TAudioInput* input = Input())
            input->Close();
        if (FailEnd)
            throw std::runtime_error("Failed to write tags");
    }

private:
    std::vector<std::uint8_t> FBuffer;
};

} // namespace audio::test
