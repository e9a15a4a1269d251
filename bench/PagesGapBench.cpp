// The gap between two participants: from OK on "Вы уверены?" until the next participant's capture
// has started, after a long previous recording (15 and 60 minutes by default), broken down into its
// steps. The gap must stay under 60 ms whatever the recording's length.
//
// The long recording is fed faster than real time by a pass-through stage placed between the exam
// page's gain indicator and its capture source: for the long pass it hands out generated sound as
// fast as the chain takes it (the capture stays closed), then behaves like a capture that polls
// every 50 ms; for the next pass it passes the real capture through and notes when it opened and
// when the first block came. Everything else is the station's own code: the interview core, the
// synchronous stop, the encoder flush, the tags, the report line and the restart.
//
//   bench_pages_gap [--smoke] [repetitions=3] [minutes...=15 60]   (PULSE_SERVER: a server with a
//   default source; --smoke: one run after one minute, its figures meaning nothing)
#include "audio/AudioCapture.h"
#include "audio/AudioIndicators.h"
#include "audio/AudioMP3.h"
#include "audio/Mp3Tags.h"
#include "bench/PagesBenchSupport.h"
#include "bench/Smoke.h"
#include "station/Crc32.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

using namespace station;

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

    // A stop takes what was captured up to it: the generated sound has no more to give then (it
    // would otherwise hand out silence for ever, and the stop would never end).
    bool StopAtCaptured() override {
        if (!FFast)
            return audio::TAudioConverter::StopAtCaptured();
        FStopped = true;
        return true;
    }

protected:
    void DoOpen() override {
        FBusy = true;
        FPosition = 0;
        FSize = -1;
        FFast = FNextFast.exchange(false);
        FFed = 0;
        FStopped = false;
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
        if (FStopped) {
            Bytes = 0;
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
    // Used on the recording's worker only.
    bool FFast = false;
    bool FStopped = false;
    std::int64_t FFed = 0;
    std::vector<std::int16_t> FTone;
    std::vector<std::int16_t> FSilence;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A copy of `path` without the ID3v2 tag at its front, as the file is before its tag step; copied
// piece by piece, so that an hour's recording never sits in this program's memory.
std::string UntaggedCopy(const std::string& path) {
    const std::string copy = path + ".untagged.mp3";
    std::ifstream in(path, std::ios::binary);
    unsigned char header[10] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    std::streamoff start = 0;
    if (in.gcount() == 10 && header[0] == 'I' && header[1] == 'D' && header[2] == '3') {
        const auto b = [&](int i) { return static_cast<std::streamoff>(header[i] & 0x7F); };
        start = 10 + ((b(6) << 21) | (b(7) << 14) | (b(8) << 7) | b(9));
    }
    in.clear();
    in.seekg(start);
    std::ofstream out(copy, std::ios::binary);
    std::vector<char> piece(1 << 16);
    while (in.read(piece.data(), static_cast<std::streamsize>(piece.size())) || in.gcount() > 0)
        out.write(piece.data(), in.gcount());
    return copy;
}

// Everything this benchmark knows of the station: the exam chain it feeds, the operations it
// presses and the file the interview records into.
class MeasuredExam : public StationObserver {
public:
    // Puts `stage` between the capture source and the gain indicator, and brackets the interview's
    // own end-of-file handler (the report line) with two stamps.
    RecordingChainHooks Wiring(audio::TAudioConverter& stage) {
        return {.afterCapture = &stage,
                .passEnding = [this] { Stamp(ReportLineStart); },
                .passEnded = [this] { Stamp(ReportLineEnd); }};
    }
    void Attach(Interview& interview) { interview_ = &interview; }
    void StartFirstParticipant() { interview_->StartRecording(); }
    void NextParticipant() { interview_->NextParticipant(); }
    std::string RecordingFile() const { return recordingFile_; }
    void Stop() { interview_->StopRecording(); }

    void RecordingStarted(const std::string& filePath) override { recordingFile_ = filePath; }

    std::atomic<Clock::rep> ReportLineStart{0}, ReportLineEnd{0};

private:
    Interview* interview_ = nullptr;
    std::string recordingFile_;
};

struct Breakdown {
    std::vector<double> gaps, firstBlocks, stopWaits, endOutputs, reportLines, restarts, reopens;
};

// `repetitions` long recordings of `minutes` each, each followed by "Следующий участник"; false
// when the chain stalled.
bool MeasureGaps(pagesbench::Station& station, MeasuredExam& page, TFastForward& forward,
                 double minutes, int repetitions, bool first, Breakdown& result,
                 std::string& longFile) {
    const auto longBytes = static_cast<std::int64_t>(minutes * 60 * 44100) * 2;
    for (int run = 0; run < repetitions; ++run) {
        forward.FeedNextPass(longBytes);
        const auto feedStart = Clock::now();
        if (first && run == 0)
            page.StartFirstParticipant();
        else
            page.NextParticipant();
        if (!pagesbench::PumpUntil([&] { return forward.FastDone(); }, 3600)) {
            std::fprintf(stderr, "the long recording did not finish\n");
            return false;
        }
        std::printf("  run %d: %.1f minutes encoded in %.1f s\n", run + 1, minutes,
                    Seconds(feedStart, Clock::now()));
        std::fflush(stdout);
        pagesbench::Pump(0.3);
        longFile = page.RecordingFile();
        forward.FirstData = 0;
        page.NextParticipant();
        const auto ok = station.LastAnswer();
        if (!pagesbench::PumpUntil([&] { return forward.FirstData.load() != 0; }, 30)) {
            std::fprintf(stderr, "the capture delivered nothing\n");
            return false;
        }
        result.gaps.push_back(Seconds(ok, At(forward.Opened)));
        result.firstBlocks.push_back(Seconds(ok, At(forward.FirstData)));
        result.stopWaits.push_back(Seconds(ok, At(forward.LastRead)));
        result.endOutputs.push_back(Seconds(At(forward.LastRead), At(forward.Closed)));
        result.reportLines.push_back(Seconds(At(page.ReportLineStart), At(page.ReportLineEnd)));
        result.restarts.push_back(Seconds(At(page.ReportLineEnd), At(forward.OpenStart)));
        result.reopens.push_back(Seconds(At(forward.OpenStart), At(forward.Opened)));
    }
    return true;
}

void PrintBreakdown(double minutes, const Breakdown& result, const std::string& longFile) {
    // The two steps inside the end of a pass that can be timed on their own, on the long file.
    const std::string untagged = UntaggedCopy(longFile);
    auto start = Clock::now();
    audio::WriteId3v2Fields(untagged, audio::TId3v2Tags());
    const double tagStep = Seconds(start, Clock::now());
    std::filesystem::remove(untagged);
    start = Clock::now();
    const std::uint32_t crc = FileCRC32(longFile).crc;
    const double checksum = Seconds(start, Clock::now());

    std::printf("after %.0f minutes: OK -> capture of the next file started: %.4f (median; target "
                "under 0.060)\n",
                minutes, Median(result.gaps));
    std::printf("OK -> first block of the next file:       %.4f\n", Median(result.firstBlocks));
    std::printf("  worker leaves its current read:         %.4f\n", Median(result.stopWaits));
    std::printf("  end of the file (flush, ID3v1, close, tags): %.4f\n", Median(result.endOutputs));
    std::printf("    of which the tag step:                %.4f (timed alone)\n", tagStep);
    std::printf("  report line (time, checksum, size):     %.4f\n", Median(result.reportLines));
    std::printf("    of which the checksum:                %.4f (timed alone, %.1f MB, %08X)\n",
                checksum, std::filesystem::file_size(longFile) / 1e6, crc);
    std::printf("  stop return, next name, Run, open chain: %.4f\n", Median(result.restarts));
    std::printf("    of which the capture reopen:          %.4f\n", Median(result.reopens));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const bench::Arguments arguments(argc, argv);
    const int repetitions = arguments.smoke ? 1 : std::atoi(arguments.Or(0, "3").c_str());
    std::vector<double> lengths;
    for (std::size_t i = 1; i < arguments.positional.size(); ++i)
        lengths.push_back(std::atof(arguments.positional[i].c_str()));
    if (lengths.empty())
        lengths = arguments.smoke ? std::vector<double>{1.0} : std::vector<double>{15.0, 60.0};

    auto forward = audio::MakeComponent<TFastForward>();
    MeasuredExam page;
    pagesbench::Station station(page.Wiring(*forward));
    page.Attach(station.Core());
    const Subscription watching = station.Core().Observers().Subscribe(page);

    bool first = true;
    for (const double minutes : lengths) {
        std::printf("gap between participants after a %.1f-minute recording (%d runs, seconds)\n",
                    minutes, repetitions);
        Breakdown result;
        std::string longFile;
        if (!MeasureGaps(station, page, *forward, minutes, repetitions, first, result, longFile))
            return 1;
        first = false;
        PrintBreakdown(minutes, result, longFile);
    }
    page.Stop();
    return 0;
}
