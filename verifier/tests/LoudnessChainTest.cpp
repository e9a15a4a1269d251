// The loudness warnings on answers recorded through the station's own chain (capture, gain
// indicator, MP3 output) from the test sound server: a spoken answer in a noisy room, a silent
// microphone and an overdriven one. The spoken material is Russian speech from espeak-ng mixed
// with room noise by sox, played into a null sink whose monitor is the capture source.
#include "audio/AudioCapture.h"
#include "audio/AudioIndicators.h"
#include "audio/tests/Mp3TestSupport.h"
#include "testsupport/ScopedEnvironmentVariable.h"
#include "testsupport/TestSoundServer.h"
#include "verifier/ArchiveCheck.h"
#include "verifier/tests/InterviewFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <sys/types.h>

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

void Record(const std::string& source, const std::string& path) {
    const platform::testing::ScopedEnvironmentVariable from("PULSE_SOURCE", source);
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
    ASSERT_TRUE(events.Failures.empty()) << events.Failures.front();
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

    void RecordPlaying(const std::string& wav, int number) {
        const testing::CommandResult player =
            RunCommand("paplay --device=answer " + Quoted(wav) + " >/dev/null 2>&1 & echo $!");
        const pid_t pid = std::stoi(player.output);
        Record("answer.monitor", interview.InFolder(std::to_string(number) + ".mp3"));
        ::kill(pid, SIGTERM);
    }

    testing::InterviewFixture interview{3};
    std::string spoken;
    std::string clipped;
    std::string moduleId;
};

TEST_F(LoudnessChainTest, SpokenSilentAndClippedAnswersAreToldApart) {
    RecordPlaying(spoken, 1);
    Record("silence.monitor", interview.InFolder("2.mp3"));
    RecordPlaying(clipped, 3);
    interview.WriteReport({1, 2, 3}, 3);
    CheckOptions options;
    options.measureLoudness = true;
    const ArchiveVerdict verdict = CheckArchive(interview.Zip(), options);
    ASSERT_TRUE(verdict.Sound()) << verdict.problems.front().reason;

    // The figures the limits were chosen from.
    for (const RecordingVerdict& recording : verdict.recordings) {
        const LoudnessFacts& facts = *recording.loudness;
        std::cout << recording.name << ": "
                  << (facts.integratedLufs ? *facts.integratedLufs : -HUGE_VAL) << " LUFS, range "
                  << facts.rangeLu << " LU, peak "
                  << (facts.samplePeakDbfs ? *facts.samplePeakDbfs : -HUGE_VAL) << " dBFS, silent "
                  << facts.SilentShare() << ", clipped " << facts.ClippedShare() << ", "
                  << facts.seconds << " s\n";
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
