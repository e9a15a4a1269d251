// What the MP3 output's tests share: a 16-bit source held in memory, and waiting
// for a recording to end while the test thread serves the GUI hand-overs.
#pragma once

#include "audio/AudioClasses.h"
#include "audio/AudioMP3.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace mp3test {

// Hands out its samples in blocks of at most BlockBytes, like a capture ring; an endless source
// starts over at the end.
class TMemorySource : public audio::TAudioInput {
public:
    TMemorySource(std::vector<std::int16_t> Samples, std::uint32_t Channels,
                  std::uint32_t SampleRate, bool Endless = false);

    std::uint32_t GetBitsPerSample() const override { return 16; }
    std::uint32_t GetChannels() const override { return FChannels; }
    std::uint32_t GetSampleRate() const override { return FSampleRate; }

    std::uint32_t BlockBytes = 8820;
    // Runs on the reading worker at the start of every read.
    std::function<void()> BeforeRead;
    // Runs on the closing thread at the end of every close.
    std::function<void()> AfterClose;
    std::atomic<int> Opens{0};
    std::atomic<int> Closes{0};
    std::atomic<int> Reads{0};

protected:
    void DoOpen() override;
    void DoClose() override;
    void DoReadBlock(const void*& Buffer, std::uint32_t& Bytes) override;

private:
    std::vector<std::int16_t> FSamples;
    std::uint32_t FChannels;
    std::uint32_t FSampleRate;
    bool FEndless;
    std::size_t FCursor = 0; // bytes
};

// Serves GUI hand-overs until `done` holds; false after `seconds` without it.
bool PumpUntil(const std::function<bool()>& done, double seconds = 30);

// Starts a pass and waits until it has completely ended.
bool RunToEnd(audio::TMP3Out& output, double seconds = 30);

// The settings of the exam page's output.
void UseExamSettings(audio::TMP3Out& output);

// Speech-like 16-bit mono material: a few drifting tones under noise, with a syllable-rate
// envelope; the same every time.
std::vector<std::int16_t> SpeechLike(int rate, int seconds);

// Counts the output's end-of-pass events and keeps the messages of its failures.
struct OutputEvents {
    explicit OutputEvents(audio::TMP3Out& output);
    std::atomic<int> SyncDone{0};
    std::atomic<int> Done{0};
    std::vector<std::string> Failures; // on the GUI (test) thread
};

} // namespace mp3test
