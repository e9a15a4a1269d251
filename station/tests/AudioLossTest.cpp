// Sound lost on its way into a participant's file (the server dropped it, the capture ring
// overran, the stream stalled) was counted by nobody: the page said «Идёт запись ...» and the close
// «Архив проверен: …» over files that lacked most of an answer. The capture loses sound here on the
// test's word, as the sound server would, through the real chain up to the operator and the log.
#include "station/core/WorkLog.h"
#include "station/safeguards/StationLog.h"
#include "station/tests/CaptureDouble.h"
#include "station/tests/CoreFixture.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

using namespace station;

namespace {

using namespace std::chrono_literals;
using coretest::Pump;
using coretest::PumpUntil;
using Clock = std::chrono::steady_clock;

struct LossySoundHolder {
    coretest::CaptureDouble sound;
};

class AudioLossTest : private LossySoundHolder, public coretest::CoreFixture {
protected:
    AudioLossTest() : CoreFixture(sound) {}

    // The bytes of `time` of the station's sound: 44.1 kHz, 16 bits, mono.
    static std::uint64_t BytesOf(std::chrono::milliseconds time) {
        return static_cast<std::uint64_t>(time.count()) * 44100 * 2 / 1000;
    }
    bool Lose(std::chrono::milliseconds time) { return sound.Lose(BytesOf(time)); }
    bool CaptureOpen() { return sound.CaptureOpen(); }
    void Next() {
        boxes_.Answer(platform::MessageResult::Ok);
        interview_->NextParticipant();
    }
    // The boxes shown that begin with `prefix`.
    std::vector<platform::MessageBoxRequest> BoxesStartingWith(const std::string& prefix) const {
        std::vector<platform::MessageBoxRequest> found;
        for (const platform::MessageBoxRequest& box : boxes_.Shown())
            if (box.text.starts_with(prefix))
                found.push_back(box);
        return found;
    }
    static std::vector<std::string> LinesOf(const std::string& path) {
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // Whether a line of `lines` holds `part` and ends with `end`.
    static bool Logged(const std::vector<std::string>& lines, const std::string& part,
                       const std::string& end = {}) {
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(part) != std::string::npos && line.ends_with(end);
        });
    }
};

// The exam's capture runs from readiness on, so that the first answer begins at its click even
// while another program holds the microphone at a long latency; the close, or a quit, ends it.
TEST_F(AudioLossTest, TheExamCaptureRunsFromReadinessToTheClose) {
    SaveParameters();
    EXPECT_FALSE(CaptureOpen());
    ASSERT_TRUE(interview_->ConfirmReadiness());
    EXPECT_TRUE(CaptureOpen());
    EXPECT_TRUE(boxes_.Texts().empty()) << ::testing::PrintToString(boxes_.Texts());
    Pump(0.5);
    EXPECT_FALSE(RecordingRunning());
    interview_->StartRecording();
    Pump(0.5);
    ASSERT_TRUE(RecordingInto(Recording(1)));
    CloseInterview();
    EXPECT_FALSE(CaptureOpen());
    ASSERT_EQ(interviewSeen_.finished.size(), 1u);
    EXPECT_EQ(interviewSeen_.finished[0].lost, 0ms); // what came before the start is no loss
}

TEST_F(AudioLossTest, AQuitEndsTheExamCaptureOpenedAtReadiness) {
    OpenInterview();
    EXPECT_TRUE(CaptureOpen());
    boxes_.Answer(platform::MessageResult::Ok);
    EXPECT_TRUE(interview_->MayQuit());
    EXPECT_FALSE(CaptureOpen());
}

TEST_F(AudioLossTest, ALossIsToldAtOnceWithItsParticipantAndAmountAndNamedUntilTheArchive) {
    StationLog log(desktop_.Home() + "/state/station.log");
    WorkLog workLog(log);
    subscriptions_.push_back(interview_->Observers().SubscribeFirst(workLog));
    OpenInterview();
    interview_->StartRecording();
    Pump(0.4);
    Next();
    Pump(0.4);
    Next();
    Pump(0.6);
    ASSERT_TRUE(RecordingInto(Recording(3)));
    ASSERT_EQ(interviewSeen_.exam.lostAudio, 0ms);

    const auto lost = Clock::now();
    ASSERT_TRUE(Lose(1200ms));
    const std::string told = "Потеряно 1,2 с записи участника 3: ";
    ASSERT_TRUE(PumpUntil([&] { return !BoxesStartingWith(told).empty(); }))
        << ::testing::PrintToString(boxes_.Texts());
    EXPECT_LT(Clock::now() - lost, 1s);
    const platform::MessageBoxRequest box = BoxesStartingWith(told)[0];
    EXPECT_EQ(box.icon, platform::MessageIcon::Warning);
    // What to do: the recording goes on, and the participant can be recorded again.
    EXPECT_NE(box.text.find("Запись продолжается."), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("«Следующий участник»"), std::string::npos) << box.text;
    EXPECT_EQ(interviewSeen_.exam.lostAudio, 1200ms);
    EXPECT_EQ(interviewSeen_.exam.banner, RecordingBanner::Recording);
    EXPECT_TRUE(RecordingInto(Recording(3)));

    // A further loss of the same recording opens no second box: the banner's amount follows it,
    // and the log hears of it once its last word on the loss is a few seconds old.
    Skip(6s);
    ASSERT_TRUE(Lose(800ms));
    ASSERT_TRUE(PumpUntil([&] { return interviewSeen_.exam.lostAudio == 2000ms; }));
    Pump(0.3);
    EXPECT_EQ(BoxesStartingWith("Потеряно").size(), 1u) << ::testing::PrintToString(boxes_.Texts());

    // The next participant's banner starts without it.
    Next();
    EXPECT_TRUE(RecordingInto(Recording(4)));
    EXPECT_EQ(interviewSeen_.exam.lostAudio, 0ms);
    EXPECT_EQ(BoxesStartingWith("Потеряно").size(), 1u);
    ASSERT_EQ(interviewSeen_.finished.size(), 3u);
    EXPECT_EQ(interviewSeen_.finished[1].lost, 0ms);
    EXPECT_EQ(interviewSeen_.finished[2].lost, 2000ms);
    Pump(0.4);

    // The archive is sound, but its proof does not read as if every second were in it.
    CloseInterview();
    ASSERT_TRUE(interviewSeen_.proof.has_value());
    EXPECT_TRUE(interviewSeen_.proof->sound);
    EXPECT_EQ(interviewSeen_.proof->text,
              "Архив проверен: 4 записи, контрольные суммы совпадают. В "
              "записях потерян звук: 3.mp3 (2,0 с).");

    subscriptions_.clear();
    const std::vector<std::string> lines = LinesOf(log.Path());
    EXPECT_TRUE(Logged(lines, "] Предупреждение: " + box.text)) << ::testing::PrintToString(lines);
    EXPECT_TRUE(Logged(lines, "] Предупреждение: Потеряно уже 2,0 с записи участника 3"))
        << ::testing::PrintToString(lines);
    EXPECT_TRUE(Logged(lines, "] Запись завершена: 2.mp3, 0 мин. 0 сек.", "сек."))
        << ::testing::PrintToString(lines);
    // The file's length is the audio in it; what was lost is named beside it.
    EXPECT_TRUE(Logged(lines, "] Запись завершена: 3.mp3, 0 мин. ", " сек., потеряно 2,0 с записи"))
        << ::testing::PrintToString(lines);
    EXPECT_TRUE(Logged(lines, "] " + interviewSeen_.proof->text))
        << ::testing::PrintToString(lines);
}

// Sound lost just as the recording is stopped: its event may reach the GUI thread while the stop
// waits for the file, or only after the pass has been finished. Either way the operator is told
// once, and the stop counts it.
TEST_F(AudioLossTest, ALossAsTheRecordingStopsIsToldOnceAndCountedByTheStop) {
    OpenInterview();
    interview_->StartRecording();
    Pump(0.6);
    ASSERT_TRUE(Lose(300ms));
    interview_->StopRecording();
    ASSERT_EQ(interviewSeen_.finished.size(), 1u);
    EXPECT_EQ(interviewSeen_.finished[0].lost, 300ms);
    EXPECT_EQ(BoxesStartingWith("Потеряно 0,3 с записи участника 1: ").size(), 1u)
        << ::testing::PrintToString(boxes_.Texts());
    // The event still on its way tells nothing more.
    Pump(0.3);
    EXPECT_EQ(BoxesStartingWith("Потеряно").size(), 1u);
}

} // namespace
