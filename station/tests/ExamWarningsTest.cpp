// The warnings that let the work go on: a silent microphone during a recording and in the
// microphone test, and too little room on the disk at readiness and while recording. Time and free
// space are the fixture's; the sound is the private server's, muted where silence is needed.
#include "station/core/RecordingWatch.h"
#include "station/safeguards/DiskSpaceRule.h"
#include "station/safeguards/SilenceWatch.h"
#include "station/tests/CoreFixture.h"
#include "testsupport/TemporaryFileSystem.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>

using namespace station;

namespace {

using namespace std::chrono_literals;
using coretest::Pump;
using coretest::PumpUntil;

// Mutes the private server's default source for the life of the object: the recording chain gets
// silence, as from an unplugged microphone.
class MutedMicrophone {
public:
    MutedMicrophone() { muted_ = Mute(true); }
    ~MutedMicrophone() {
        if (muted_)
            Mute(false);
    }
    MutedMicrophone(const MutedMicrophone&) = delete;
    MutedMicrophone& operator=(const MutedMicrophone&) = delete;
    void Unmute() {
        if (muted_)
            Mute(false);
        muted_ = false;
    }
    bool Muted() const { return muted_; }

private:
    static bool Mute(bool on) {
        const std::string command = std::string("pactl set-source-mute @DEFAULT_SOURCE@ ") +
                                    (on ? "1" : "0") + " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }
    bool muted_ = false;
};

class ExamWarningsTest : public coretest::CoreFixture {
protected:
    const ExamState& Exam() const { return interviewSeen_.exam; }
    // Moves the clock on, lets the meter report at the new time, and ticks.
    void TickAfter(std::chrono::milliseconds time) {
        Skip(time);
        Pump(0.25);
        interview_->Tick();
    }
};

TEST_F(ExamWarningsTest, SilentMicrophoneRaisesTheBannerAfterTenSecondsUntilSoundReturns) {
    MutedMicrophone muted;
    ASSERT_TRUE(muted.Muted()) << "pactl could not mute the test server's source";
    OpenInterview();
    interview_->StartRecording();
    Pump(0.5);
    TickAfter(9s);
    EXPECT_EQ(Exam().banner, RecordingBanner::Recording);
    TickAfter(1500ms);
    EXPECT_EQ(Exam().banner, RecordingBanner::NoSignal);
    EXPECT_EQ(interviewSeen_.warnings, std::vector<std::string>{NoSignalText});
    // A banner, not a box, and the recording goes on.
    EXPECT_TRUE(boxes_.Texts().empty()) << ::testing::PrintToString(boxes_.Texts());
    EXPECT_TRUE(RecordingInto(Recording(1)));

    muted.Unmute();
    EXPECT_TRUE(PumpUntil([&] { return Exam().banner == RecordingBanner::Recording; }, 5));
}

TEST_F(ExamWarningsTest, TheNextParticipantStartsWithoutTheSilenceOfTheLastOne) {
    MutedMicrophone muted;
    ASSERT_TRUE(muted.Muted()) << "pactl could not mute the test server's source";
    OpenInterview();
    interview_->StartRecording();
    Pump(0.3);
    TickAfter(11s);
    ASSERT_EQ(Exam().banner, RecordingBanner::NoSignal);
    boxes_.Answer(platform::MessageResult::Ok);
    interview_->NextParticipant();
    EXPECT_EQ(Exam().banner, RecordingBanner::Recording);
    Pump(0.3);
    TickAfter(5s);
    EXPECT_EQ(Exam().banner, RecordingBanner::Recording);
    TickAfter(6s);
    EXPECT_EQ(Exam().banner, RecordingBanner::NoSignal);
}

TEST_F(ExamWarningsTest, MicrophoneTestThatHeardNothingForThreeSecondsIsTold) {
    struct Case {
        bool silent;
        std::chrono::milliseconds length;
        bool told;
    };
    for (const Case c :
         {Case{true, 3500ms, true}, Case{true, 2000ms, false}, Case{false, 3500ms, false}}) {
        SCOPED_TRACE(::testing::Message()
                     << "silent " << c.silent << ", " << c.length.count() << " ms");
        std::optional<MutedMicrophone> muted;
        if (c.silent) {
            muted.emplace();
            ASSERT_TRUE(muted->Muted()) << "pactl could not mute the test server's source";
        }
        boxes_.Clear();
        check_->ToggleMicrophone();
        ASSERT_TRUE(PumpUntil([&] { return checkSeen_.levelEvents > 3; }, 5));
        Skip(c.length);
        check_->ToggleMicrophone();
        const std::vector<std::string> expected =
            c.told ? std::vector<std::string>{MicrophoneSilentText} : std::vector<std::string>{};
        EXPECT_EQ(boxes_.Texts(), expected);
        if (c.told) {
            EXPECT_EQ(boxes_.Shown()[0].icon, platform::MessageIcon::Warning);
        }
        check_->TestRecorder().Stop();
        checkSeen_.levelEvents = 0;
    }
}

TEST_F(ExamWarningsTest, ReadinessWarnsOfTooLittleRoomAndOpensTheInterview) {
    freeBytes_ = 100'000'000; // 3125 s of recording with its archive
    OpenInterview();
    EXPECT_EQ(
        boxes_.Texts(),
        std::vector<std::string>{
            "На диске мало места: свободно 100 МБ, этого хватит примерно на 52 мин. записи."});
    EXPECT_EQ(interviewSeen_.opened.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(State().folder));
}

TEST_F(ExamWarningsTest, LowSpaceWhileRecordingIsShownUntilSpaceIsFreed) {
    OpenInterview();
    interview_->StartRecording();
    TickAfter(1s);
    EXPECT_EQ(Exam().banner, RecordingBanner::Recording);

    freeBytes_ = RecordingReserveSeconds * BytesPerRecordedSecond - 1;
    // The disk is asked at most every few seconds.
    TickAfter(1s);
    EXPECT_EQ(Exam().banner, RecordingBanner::Recording);
    TickAfter(5s);
    EXPECT_EQ(Exam().banner, RecordingBanner::LowSpace);
    EXPECT_EQ(interviewSeen_.warnings, std::vector<std::string>{LowSpaceText});
    EXPECT_TRUE(boxes_.Texts().empty()) << ::testing::PrintToString(boxes_.Texts());

    freeBytes_ = std::uint64_t{1} << 40;
    TickAfter(5s);
    EXPECT_EQ(Exam().banner, RecordingBanner::Recording);
}

TEST_F(ExamWarningsTest, ReadinessMeasuresTheRealFileSystemOfTheInterviewFolder) {
    testsupport::TemporaryFileSystem small("size=1m");
    if (!small.Mounted())
        GTEST_SKIP() << small.SkipReason();
    StationServices services = services_;
    services.desktopFolder = [&] { return small.Folder(); };
    services.freeBytes = platform::FreeBytes;
    Interview interview(services);
    const Subscription messages = interview.Observers().Subscribe(reporter_);
    ASSERT_TRUE(interview.SaveParameters(
        {.region = "Город", .schoolName = "Школа № 1", .schoolCode = "145", .room = "12"}));
    ASSERT_TRUE(interview.ConfirmReadiness());
    ASSERT_EQ(boxes_.Texts().size(), 1u);
    EXPECT_EQ(boxes_.Texts()[0].rfind(
                  "На диске мало места: свободно 1 МБ, этого хватит примерно на 0 мин.", 0),
              0u)
        << boxes_.Texts()[0];
}

// The meter's readings reach the GUI thread through a queue, so one may arrive after its pass has
// stopped and the close has put up the packing banner: it must leave that banner, and tell no
// warning, whatever it says.
TEST_F(ExamWarningsTest, AReadingAfterThePassStoppedLeavesTheBannerAlone) {
    ObserverList observers;
    InterviewState state;
    state.folder = testFolder_;
    ExamState exam;
    int published = 0;
    RecordingWatch watch(services_, observers, state, exam, [&](RecordingBanner banner) {
        exam.banner = banner;
        ++published;
    });
    const Subscription seen = observers.Subscribe(interviewSeen_);

    exam.banner = RecordingBanner::Recording;
    watch.PassStarted();
    Skip(20s); // long enough for silence to count, had the pass still run
    watch.PassStopped();
    exam.banner = RecordingBanner::Packing;
    for (const std::int64_t level : {0, 0, 50}) {
        watch.LevelChanged(level);
        watch.ShowRecordingWarnings();
        watch.WatchRecording();
    }
    EXPECT_EQ(exam.banner, RecordingBanner::Packing);
    EXPECT_EQ(published, 0);
    EXPECT_TRUE(interviewSeen_.warnings.empty());
}

} // namespace
