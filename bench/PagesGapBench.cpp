// The gap between two participants: from OK on "Вы уверены?" until the next participant's capture
// has started, after a long previous recording (15 minutes by default), broken down into its steps.
//
// The long recording is fed faster than real time by a pass-through stage placed between the exam
// page's gain indicator and its capture source: for the long pass it hands out generated sound as
// fast as the chain takes it (the capture stays closed), then behaves like a capture that polls
// every 50 ms; for the next pass it passes the real capture through and notes when it opened and
// when the first block came. Everything else is the station's own code: the interview core, the
// synchronous stop, the encoder flush, the tags, the report line and the restart.
//
//   bench_pages_gap [minutes=15] [repetitions=3]   (PULSE_SERVER: a server with a default source)
#include "audio/AudioCapture.h"
#include "audio/AudioIndicators.h"
#include "audio/AudioMP3.h"
#include "audio/Mp3Tags.h"
#include "bench/PagesBenchSupport.h"
#include "station/Crc32.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

using pagesbench::Clock;
using pagesbench::Seconds;

std::atomic<Clock::rep>& Stamp(std::atomic<Clock::rep>& slot) {
    slot = Clock::now().time_since_epoch().count();
    return slot;
}
Clock::time_point At(const std::atomic<Clock::rep>& slot) {
    return Clock::time_point(Clock::duration(slot.load()));
}

class TFastForward : public audio::TAudioConverter {
public:
    // The next pass hands out `bytes` of generated sound at once instead of the capture's.
    void FeedNextPass(std::int64_t bytes) {
        FFastBytes = bytes;
        FFastDone = false;
        FNextFast = true;
    }
    bool FastDone() const { return FFastDone; }

    std::atomic<Clock::rep> LastRead{0}, Closed{0}, OpenStart{0}, Opened{0}, FirstData{0};

protected:
    void DoOpen() override {
        FBusy = true;
        FPosition = 0;
        FSize = -1;
        FFast = FNextFast.exchange(false);
        FFed = 0;
        if (FFast) {
            if (FTone.empty()) {
                FTone.resize(44100); // one second of 440 Hz at half scale
                for (std::size_t i = 0; i < FTone.size(); ++i)
                    FTone[i] =
                        static_cast<std::int16_t>(16384 * std::sin(2 * M_PI * 440 * i / 44100.0));
                FSilence.assign(4410, 0);
            }
            return;
        }
        Stamp(OpenStart);
        Input()->Open();
        Stamp(Opened);
    }
    void DoClose() override {
        Stamp(Closed);
        if (!FFast)
            Input()->Close();
        FBusy = false;
    }
    void DoReadBlock(const void*& Buffer, std::uint32_t& Bytes) override {
        if (!FFast) {
            Input()->ReadBlock(Buffer, Bytes);
            if (Bytes > 0 && FirstData.load() == 0)
                Stamp(FirstData);
            return;
        }
        if (FFed < FFastBytes) {
            const std::size_t offset = static_cast<std::size_t>(FFed % (FTone.size() * 2));
            Bytes = static_cast<std::uint32_t>(
                std::min<std::int64_t>({Bytes, 8820, FFastBytes - FFed,
                                        static_cast<std::int64_t>(FTone.size() * 2 - offset)}));
            Buffer = reinterpret_cast<const std::uint8_t*>(FTone.data()) + offset;
            FFed += Bytes;
            if (FFed >= FFastBytes)
                FFastDone = true;
            return;
        }
        // Caught up: from now on like a capture polling every 50 ms.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        Bytes = std::min<std::uint32_t>(Bytes, 4410 * 2);
        Buffer = FSilence.data();
        Stamp(LastRead);
    }

private:
    std::atomic<bool> FNextFast{false};
    std::atomic<bool> FFastDone{false};
    std::atomic<std::int64_t> FFastBytes{0};
    bool FFast = false;
    std::int64_t FFed = 0;
    std::vector<std::int16_t> FTone;
    std::vector<std::int16_t> FSilence;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The ID3v2 tag at the front of a copy of `path` removed, as the file is before its tag step.
std::string UntaggedCopy(const std::string& path) {
    const std::string copy = path + ".untagged.mp3";
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::size_t start = 0;
    if (bytes.size() > 10 && bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3') {
        const auto b = [&](int i) { return static_cast<std::size_t>(bytes[i] & 0x7F); };
        start = 10 + ((b(6) << 21) | (b(7) << 14) | (b(8) << 7) | b(9));
    }
    std::ofstream(copy, std::ios::binary).write(bytes.data() + start, bytes.size() - start);
    return copy;
}

} // namespace

int main(int argc, char** argv) {
    const double minutes = argc > 1 ? std::atof(argv[1]) : 15.0;
    const int repetitions = argc > 2 ? std::atoi(argv[2]) : 3;
    const auto longBytes = static_cast<std::int64_t>(minutes * 60 * 44100) * 2;

    pagesbench::Station station;
    Interview& interview = station.Core();
    Recorder& recorder = interview.ExamRecorder();
    auto forward = audio::MakeComponent<TFastForward>();
    forward->SetInput(&recorder.Capture());
    recorder.Indicator().SetInput(forward.get());
    std::atomic<Clock::rep> syncStart{0}, syncEnd{0};
    const audio::TNotifyEvent reportLine = recorder.Output().OnSyncDone.Get();
    recorder.Output().OnSyncDone = [&](audio::TComponent* Sender) {
        Stamp(syncStart);
        reportLine(Sender);
        Stamp(syncEnd);
    };

    std::printf("gap between participants after a %.1f-minute recording (%d runs, seconds)\n",
                minutes, repetitions);
    std::vector<double> gaps, firstBlocks, stopWaits, endOutputs, reportLines, restarts, reopens;
    std::string longFile;
    for (int run = 0; run < repetitions; ++run) {
        forward->FeedNextPass(longBytes);
        const auto feedStart = Clock::now();
        if (run == 0)
            interview.StartRecording();
        else
            interview.NextParticipant();
        if (!pagesbench::PumpUntil([&] { return forward->FastDone(); }, 3600)) {
            std::fprintf(stderr, "the long recording did not finish\n");
            return 1;
        }
        std::printf("  run %d: %.1f minutes encoded in %.1f s\n", run + 1, minutes,
                    Seconds(feedStart, Clock::now()));
        pagesbench::Pump(0.3);
        longFile = recorder.FileName();
        forward->FirstData = 0;
        interview.NextParticipant();
        const auto ok = station.LastAnswer();
        if (!pagesbench::PumpUntil([&] { return forward->FirstData.load() != 0; }, 30)) {
            std::fprintf(stderr, "the capture delivered nothing\n");
            return 1;
        }
        gaps.push_back(Seconds(ok, At(forward->Opened)));
        firstBlocks.push_back(Seconds(ok, At(forward->FirstData)));
        stopWaits.push_back(Seconds(ok, At(forward->LastRead)));
        endOutputs.push_back(Seconds(At(forward->LastRead), At(forward->Closed)));
        reportLines.push_back(Seconds(At(syncStart), At(syncEnd)));
        restarts.push_back(Seconds(At(syncEnd), At(forward->OpenStart)));
        reopens.push_back(Seconds(At(forward->OpenStart), At(forward->Opened)));
    }
    interview.StopRecording();

    // The two steps inside the end of a pass that can be timed on their own, on the long file.
    const std::string untagged = UntaggedCopy(longFile);
    auto start = Clock::now();
    audio::WriteId3v2Fields(untagged, audio::TId3v2Tags());
    const double tagStep = Seconds(start, Clock::now());
    std::filesystem::remove(untagged);
    start = Clock::now();
    const std::uint32_t crc = FileCRC32(longFile);
    const double checksum = Seconds(start, Clock::now());

    std::printf("OK -> capture of the next file started:   %.4f (median)\n", Median(gaps));
    std::printf("OK -> first block of the next file:       %.4f\n", Median(firstBlocks));
    std::printf("  worker leaves its current read:         %.4f\n", Median(stopWaits));
    std::printf("  end of the file (flush, ID3v1, close, tags): %.4f\n", Median(endOutputs));
    std::printf("    of which the tag step:                %.4f (timed alone)\n", tagStep);
    std::printf("  report line (time, checksum, size):     %.4f\n", Median(reportLines));
    std::printf("    of which the checksum:                %.4f (timed alone, %.1f MB, %08X)\n",
                checksum, std::filesystem::file_size(longFile) / 1e6, crc);
    std::printf("  stop return, next name, Run, open chain: %.4f\n", Median(restarts));
    std::printf("    of which the capture reopen:          %.4f\n", Median(reopens));
    return 0;
}
