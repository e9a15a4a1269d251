// The loudness warnings on answers recorded through the station's own chain (capture, gain
// indicator, MP3 output) from the test sound server: a spoken answer in a noisy room, a silent
// microphone and an overdriven one. The spoken material is Russian speech from espeak-ng mixed
// with room noise by sox, played into a null sink whose monitor is the capture source. The
// station's meter reads the same loudness on the way: its readings and its library's figure for the
// whole recording are held against what the receiver measures in the file.
#include "audio/AudioCapture.h"
#include "audio/AudioIndicators.h"
#include "audio/GainAnalysis.h"
#include "audio/tests/Mp3TestSupport.h"
#include "interview_format/LoudnessLimits.h"
#include "testsupport/ScopedEnvironmentVariable.h"
#include "testsupport/TestSoundServer.h"
#include "verifier/ArchiveCheck.h"
#include "verifier/Mp3Walk.h"
#include "verifier/tests/InterviewFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>
#include <sys/types.h>
#include <vector>

namespace interview_check {
namespace {

using testing::Quoted;
using testing::RunCommand;

// Long enough for pauses between sentences; shorter than an answer, so each also warns of that.
constexpr int RecordSeconds = 12;

void Shell(const std::string& command) {
    const testing::CommandResult result = RunCommand(command + " 2>&1");
    ASSERT_EQ(result.exitCode, 0) << command << "\n" << result.output;
}

// What the station's meter made of a recording: the indicator's readings (0 .. 100, the gain
// library's loudness + 50 LU, 0 at or below -50 LUFS), and the loudness the library gives for the
// whole recording.
struct MeterFigures {
    std::vector<double> readings;
    double wholeLufs = 0;
};

// The meter's loudness in LUFS for a reading: the indicator reads -18 LUFS minus the gain below
// 32 dB of gain, so 50 + LUFS.
double ReadingLufs(double reading) {
    return reading - 50;
}

MeterFigures Record(const std::string& source, const std::string& path) {
    MeterFigures figures;
    const testsupport::ScopedEnvironmentVariable from("PULSE_SOURCE", source);
    auto capture = audio::MakeComponent<audio::TDSAudioIn>();
    capture->SetInBitsPerSample(16);
    capture->SetInChannels(1);
    capture->SetInSampleRate(44100);
    capture->SetLatency(100);
    capture->SetFramesInBuffer(12000);
    capture->SetPollingInterval(100);
    auto indicator = audio::MakeComponent<audio::TGainIndicator>();
    indicator->SetInterval(100);
    indicator->SetInput(capture.get());
    indicator->OnGainData = [&, meter = indicator.get()](audio::TComponent*) {
        figures.readings.push_back(meter->GainValue());
    };
    auto output = audio::MakeComponent<audio::TMP3Out>();
    mp3test::UseExamSettings(*output);
    output->SetInput(indicator.get());
    mp3test::OutputEvents events(*output);
    output->SetFileName(path);
    output->Run();
    const auto stopAt = std::chrono::steady_clock::now() + std::chrono::seconds(RecordSeconds);
    mp3test::PumpUntil([&] { return std::chrono::steady_clock::now() >= stopAt; },
                       RecordSeconds + 10);
    output->Stop(false);
    EXPECT_TRUE(events.Failures.empty()) << events.Failures.front();
    // The close's own report (0) is no reading of the sound.
    mp3test::PumpUntil([] { return false; }, 0.3);
    if (!figures.readings.empty())
        figures.readings.pop_back();
    std::lock_guard guard(audio::GainAnalysisLock());
    figures.wholeLufs = -18 - audio::GainLibrary().Get().GetAlbumGain();
    return figures;
}

// The station's gain library run over a whole recording file, fed as the indicator feeds it (both
// channels, the 16-bit range): the integrated loudness it gives.
double GainLibraryLufsOfFile(const std::string& path) {
    const audio::TGainEntryPoints& gain = audio::GainLibrary().Get();
    std::lock_guard guard(audio::GainAnalysisLock());
    EXPECT_EQ(gain.InitGainAnalysis(44100), 1);
    std::vector<double> channel;
    Mp3Walk walk([&](const float* samples, std::size_t frames, int channels, long) {
        channel.resize(frames);
        for (std::size_t i = 0; i < frames; ++i)
            channel[i] = double(samples[i * std::size_t(channels)]) * 32768;
        EXPECT_NE(gain.AnalyzeSamples(channel.data(), channel.data(), int32_t(frames), 2), 0);
    });
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    walk.Feed(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    EXPECT_TRUE(walk.Finish().failure.empty());
    return -18 - gain.GetAlbumGain();
}

class LoudnessChainTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_TEST_SOUND_SERVER();
        const std::string dir = interview.Scratch("");
        Shell("espeak-ng -v ru -s 150 -w " + Quoted(dir + "voice.wav") +
              " 'Добрый день. Меня зовут Анна. Я прочитаю текст о космонавте. Двенадцатого апреля "
              "тысяча девятьсот шестьдесят первого года Юрий Гагарин совершил первый полёт в "
              "космос. Этот день стал праздником.'");
        // Pauses between the sentences as a participant makes them, and a room that is heard.
        Shell("sox " + Quoted(dir + "voice.wav") + " -r 44100 -c 1 " + Quoted(dir + "speech.wav") +
              " pad 0 1 repeat 2 trim 0 " + std::to_string(RecordSeconds + 4));
        Shell("sox -n -r 44100 -c 1 " + Quoted(dir + "room.wav") + " synth " +
              std::to_string(RecordSeconds + 4) + " brownnoise vol 0.01");
        Shell("sox -m " + Quoted(dir + "speech.wav") + " " + Quoted(dir + "room.wav") + " " +
              Quoted(spoken = dir + "spoken.wav"));
        Shell("sox -q " + Quoted(spoken) + " " + Quoted(clipped = dir + "clipped.wav") +
              " gain 24");
        const testing::CommandResult module =
            RunCommand("pactl load-module module-null-sink sink_name=answer");
        ASSERT_EQ(module.exitCode, 0) << module.output;
        moduleId = module.output.substr(0, module.output.find('\n'));
    }
    void TearDown() override {
        if (!moduleId.empty())
            RunCommand("pactl unload-module " + moduleId);
    }

    MeterFigures RecordPlaying(const std::string& wav, int number) {
        const testing::CommandResult player =
            RunCommand("paplay --device=answer " + Quoted(wav) + " >/dev/null 2>&1 & echo $!");
        const pid_t pid = std::stoi(player.output);
        MeterFigures figures =
            Record("answer.monitor", interview.InFolder(std::to_string(number) + ".mp3"));
        ::kill(pid, SIGTERM);
        return figures;
    }

    testing::InterviewFixture interview{3};
    std::string spoken;
    std::string clipped;
    std::string moduleId;
};

TEST_F(LoudnessChainTest, SpokenSilentAndClippedAnswersAreToldApart) {
    const MeterFigures meters[] = {RecordPlaying(spoken, 1),
                                   Record("silence.monitor", interview.InFolder("2.mp3")),
                                   RecordPlaying(clipped, 3)};
    interview.WriteReport({1, 2, 3}, 3);
    CheckOptions options;
    options.measureLoudness = true;
    const ArchiveVerdict verdict = CheckArchive(interview.Zip(), options);
    ASSERT_TRUE(verdict.Sound()) << verdict.problems.front().reason;

    // The figures the limits were chosen from: the receiver's, and the station meter's share of
    // readings at or below the silence limit with its longest run of them.
    ASSERT_EQ(verdict.recordings.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const RecordingVerdict& recording = verdict.recordings[i];
        const LoudnessFacts& facts = *recording.loudness;
        const MeterFigures& meter = meters[i];
        std::size_t quiet = 0, run = 0, longest = 0;
        for (const double reading : meter.readings) {
            run = ReadingLufs(reading) <= interview_format::SilenceLufs ? run + 1 : 0;
            quiet += run > 0;
            longest = std::max(longest, run);
        }
        std::cout << recording.name << ": "
                  << (facts.integratedLufs ? *facts.integratedLufs : -HUGE_VAL) << " LUFS, range "
                  << facts.rangeLu << " LU, peak "
                  << (facts.samplePeakDbfs ? *facts.samplePeakDbfs : -HUGE_VAL) << " dBFS, silent "
                  << facts.SilentShare() << ", clipped " << facts.ClippedShare() << ", "
                  << facts.seconds << " s; meter: whole " << meter.wholeLufs << " LUFS, "
                  << meter.readings.size() << " readings, silent "
                  << double(quiet) / double(std::max<std::size_t>(1, meter.readings.size()))
                  << ", longest silent run " << double(longest) / 10 << " s, quietest "
                  << (meter.readings.empty() ? -HUGE_VAL
                                             : ReadingLufs(*std::min_element(meter.readings.begin(),
                                                                             meter.readings.end())))
                  << " LUFS (receiver's quietest moment "
                  << (facts.momentary.empty() ? -HUGE_VAL
                                              : double(*std::min_element(facts.momentary.begin(),
                                                                         facts.momentary.end())))
                  << " LUFS)\n";
        // The meter reports about ten times a second (every 100 ms of sound, counted in whole
        // blocks of the encoder).
        EXPECT_GE(double(meter.readings.size()), facts.seconds * 9) << recording.name;
    }
    // One measure: the station's gain library over a whole recording and the receiver's check
    // of it give the same integrated loudness. What the meter read while recording is the sound
    // before the encoder, which takes 0.4-0.5 LU off (the spoken answer's sound before and after
    // lame at 128 kbit/s: -26.95 and -27.40 LUFS; the overdriven one, whose clipping adds high
    // harmonics the encoder drops, -7.50 and -7.95), so it agrees within 1 LU.
    for (std::size_t i = 0; i < 3; ++i) {
        const LoudnessFacts& facts = *verdict.recordings[i].loudness;
        const std::string name = verdict.recordings[i].name;
        const double ofFile = GainLibraryLufsOfFile(interview.InFolder(name));
        if (facts.integratedLufs) {
            EXPECT_NEAR(ofFile, *facts.integratedLufs, 0.5) << name;
            EXPECT_NEAR(meters[i].wholeLufs, *facts.integratedLufs, 1.0) << name;
        } else {
            EXPECT_LE(ofFile, -70.0) << name;
            EXPECT_LE(meters[i].wholeLufs, -70.0) << name;
        }
    }
    std::vector<std::string> warnings;
    for (const Problem& warning : verdict.warnings)
        warnings.push_back(warning.entry + ": " +
                           warning.reason.substr(0, warning.reason.find(" (")));
    const std::vector<std::string> expected = {
        "1.mp3: запись короче 30 с", "2.mp3: запись почти беззвучна", "2.mp3: запись короче 30 с",
        "3.mp3: перегрузка",         "3.mp3: запись короче 30 с",
    };
    EXPECT_EQ(warnings, expected);
    const LoudnessFacts& speech = *verdict.recordings[0].loudness;
    ASSERT_TRUE(speech.integratedLufs);
    EXPECT_GT(*speech.integratedLufs, -40.0);
    EXPECT_EQ(speech.clippedSamples, 0u);
}

} // namespace
} // namespace interview_check
