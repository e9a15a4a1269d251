#include "audio/tests/Mp3TestSupport.h"

#include "platform/GuiHandover.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <random>
#include <thread>

namespace mp3test {

TMemorySource::TMemorySource(std::vector<std::int16_t> Samples, std::uint32_t Channels,
                             std::uint32_t SampleRate, bool Endless)
    : FSamples(std::move(Samples)), FChannels(Channels), FSampleRate(SampleRate),
      FEndless(Endless) {}

void TMemorySource::DoOpen() {
    FBusy = true;
    FPosition = 0;
    FSize = FEndless ? -1 : static_cast<std::int64_t>(FSamples.size() * 2);
    FFrameSize = static_cast<std::uint16_t>(2 * FChannels);
    FCursor = 0;
    ++Opens;
}

void TMemorySource::DoClose() {
    FBusy = false;
    ++Closes;
    if (AfterClose)
        AfterClose();
}

void TMemorySource::DoReadBlock(const void*& Buffer, std::uint32_t& Bytes) {
    ++Reads;
    if (BeforeRead)
        BeforeRead();
    const std::size_t total = FSamples.size() * 2;
    if (FEndless && FCursor == total)
        FCursor = 0;
    const std::size_t given = std::min<std::size_t>({Bytes, BlockBytes, total - FCursor});
    Buffer = reinterpret_cast<const std::uint8_t*>(FSamples.data()) + FCursor;
    Bytes = static_cast<std::uint32_t>(given);
    FCursor += given;
    FPosition += static_cast<std::int64_t>(given);
}

bool PumpUntil(const std::function<bool()>& done, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        platform::CheckSynchronize();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    platform::CheckSynchronize();
    return true;
}

bool RunToEnd(audio::TMP3Out& output, double seconds) {
    const std::uint64_t before = output.Worker().PassesFinished();
    output.Run();
    return PumpUntil([&] { return output.Worker().PassesFinished() > before; }, seconds);
}

void UseExamSettings(audio::TMP3Out& output) {
    output.SetBitRate(audio::TMP3BitRate::mbr128);
    output.SetMode(audio::TMP3Mode::mmStereo);
    output.SetCRC(true);
    output.SetOriginal(true);
}

std::vector<std::int16_t> SpeechLike(int rate, int seconds) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(rate) * seconds);
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.05);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double envelope = 0.5 + 0.5 * std::sin(2 * M_PI * 4 * t);
        const double voice = 0.3 * std::sin(2 * M_PI * (180 + 20 * std::sin(t)) * t) +
                             0.15 * std::sin(2 * M_PI * 720 * t) +
                             0.08 * std::sin(2 * M_PI * 2400 * t);
        const double value = envelope * voice + noise(random);
        samples[i] = static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767));
    }
    return samples;
}

OutputEvents::OutputEvents(audio::TMP3Out& output) {
    output.OnSyncDone = [this](audio::TComponent*) { ++SyncDone; };
    output.OnDone = [this](audio::TComponent*) { ++Done; };
    output.OnThreadException = [this](audio::TComponent* sender) {
        Failures.push_back(static_cast<audio::TMP3Out*>(sender)->ExceptionText());
    };
}

} // namespace mp3test
