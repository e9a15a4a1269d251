// A crash before midnight: the station starts again on a new day, and the earlier day's interview
// of the same school and room, left without its archive, is offered to be closed with its own
// date.
#include "platform/TextCodec.h"
#include "station/tests/CoreFixture.h"
#include "verifier/ArchiveCheck.h"

#include <filesystem>
#include <fstream>

using namespace station;

namespace {

namespace fs = std::filesystem;
using coretest::Pump;
using platform::MessageResult;

std::string Stem(platform::DateTime day, const std::string& room3 = "012") {
    return "01-" + platform::FormatDateTime("ddmmyyyy", day) + "-000145-" + room3;
}

class EarlierInterviewTest : public coretest::CoreFixture {
protected:
    // The station runs on `day`: parameters saved, readiness confirmed.
    void StartOn(platform::DateTime day) {
        calendar_.day = day;
        Rewire();
        OpenInterview();
    }
    // A recording on `day`, and then the station goes down without its close.
    void RecordAndCrash(platform::DateTime day) {
        StartOn(day);
        interview_->StartRecording();
        Pump(0.6);
    }
    std::string Desktop() const { return desktop_.Desktop(); }

    const platform::DateTime today_ = platform::Today();
    const platform::DateTime yesterday_ = today_ - 1;
};

TEST_F(EarlierInterviewTest, YesterdaysUnarchivedInterviewIsClosedWithItsOwnDate) {
    RecordAndCrash(yesterday_);
    boxes_.Clear();
    boxes_.Answer(MessageResult::Ok);
    StartOn(today_);

    const std::string earlier = Stem(yesterday_);
    const std::string day = platform::FormatDateTime("dd.mm.yyyy", yesterday_);
    const std::vector<platform::MessageBoxRequest> shown = boxes_.Shown();
    ASSERT_EQ(shown.size(), 2u) << ::testing::PrintToString(boxes_.Texts());
    EXPECT_EQ(shown[0].text, "Собеседование за " + day + " в папке " + earlier +
                                 " не завершено: его записи не упакованы в архив. Завершить его "
                                 "сейчас? Отчёт и архив получат дату " +
                                 day + ".");
    EXPECT_EQ(shown[0].buttons, platform::MessageButtons::OkCancel);
    EXPECT_EQ(shown[1].text.rfind("Собеседование за " + day + " завершено: отчёт 01-" +
                                      platform::FormatDateTime("ddmmyyyy", yesterday_) +
                                      "-000000-000145-012.csv, участников 1, архив " + Desktop() +
                                      "/" + earlier + ".zip. Архив проверен",
                                  0),
              0u)
        << shown[1].text;

    // The receiver accepts it: the folder, the report's name and its date are yesterday's.
    const interview_check::ArchiveVerdict verdict =
        interview_check::CheckArchive(Desktop() + "/" + earlier + ".zip");
    EXPECT_TRUE(verdict.Sound()) << (verdict.problems.empty() ? "" : verdict.problems[0].reason);
    EXPECT_EQ(verdict.folder, earlier);
    EXPECT_EQ(verdict.recordings.size(), 1u);
    // Today's interview opens in a folder of its own, and nothing asks again.
    EXPECT_EQ(State().folder, Desktop() + "/" + Stem(today_));
    boxes_.Clear();
    StartOn(today_);
    EXPECT_TRUE(boxes_.Texts().empty()) << ::testing::PrintToString(boxes_.Texts());
}

TEST_F(EarlierInterviewTest, OnlyAnUnarchivedEarlierFolderOfThisSchoolAndRoomWithRecordsIsOffered) {
    // Another room's, an empty one, a file named like a folder, a day that does not exist.
    for (const std::string& name :
         {Stem(yesterday_, "013"), Stem(today_ - 2), std::string("01-31022026-000145-012")})
        fs::create_directories(Desktop() + "/" + name);
    std::ofstream(Desktop() + "/" + Stem(yesterday_, "013") + "/1.mp3") << "other room";
    std::ofstream(Desktop() + "/01-31022026-000145-012/1.mp3") << "no such day";
    std::ofstream(Desktop() + "/" + Stem(today_ - 3)) << "a file";
    StartOn(today_);
    EXPECT_TRUE(boxes_.Texts().empty()) << ::testing::PrintToString(boxes_.Texts());

    // Declined: the folder is left as it was, and offered again at the next start.
    RecordAndCrash(yesterday_);
    boxes_.Clear();
    boxes_.Answer(MessageResult::Cancel);
    StartOn(today_);
    ASSERT_EQ(boxes_.Texts().size(), 1u) << ::testing::PrintToString(boxes_.Texts());
    EXPECT_FALSE(fs::exists(Desktop() + "/" + Stem(yesterday_) + ".zip"));
    EXPECT_EQ(std::distance(fs::directory_iterator(Desktop() + "/" + Stem(yesterday_)),
                            fs::directory_iterator()),
              1);
    // A broken archive beside it is no archive: offered again.
    std::ofstream(Desktop() + "/" + Stem(yesterday_) + ".zip") << "PK partial";
    boxes_.Clear();
    boxes_.Answer(MessageResult::Cancel);
    StartOn(today_);
    EXPECT_EQ(boxes_.Texts().size(), 1u) << ::testing::PrintToString(boxes_.Texts());
}

// An earlier day is judged by its recordings on disk against its archive, not by a count: the
// line of a participant whose recording never started counts like a recording, and a recording
// made under that number after the close would never be archived.
TEST_F(EarlierInterviewTest, AnEarlierRecordingMissingFromItsArchiveIsOfferedAgain) {
    calendar_.day = yesterday_;
    Rewire();
    SaveParameters();
    const std::string folder = Desktop() + "/" + Stem(yesterday_);
    fs::create_directories(folder);
    std::ofstream(folder + "/1.mp3", std::ios::binary) << SilentMp3();
    std::ofstream(folder + "/3.mp3", std::ios::binary) << SilentMp3();
    ASSERT_TRUE(interview_->ConfirmReadiness());
    CloseInterview();
    ASSERT_TRUE(interviewSeen_.proof && interviewSeen_.proof->sound);

    std::ofstream(folder + "/2.mp3", std::ios::binary) << SilentMp3(60);
    boxes_.Clear();
    boxes_.Answer(MessageResult::Ok);
    StartOn(today_);
    ASSERT_EQ(boxes_.Texts().size(), 2u) << ::testing::PrintToString(boxes_.Texts());
    const interview_check::ArchiveVerdict verdict =
        interview_check::CheckArchive(Desktop() + "/" + Stem(yesterday_) + ".zip");
    EXPECT_TRUE(verdict.Sound()) << (verdict.problems.empty() ? "" : verdict.problems[0].reason);
    EXPECT_EQ(verdict.RecordingsHeld(), 3u) << "the recording made after the close is archived";

    // Archived whole now: not offered again.
    boxes_.Clear();
    StartOn(today_);
    EXPECT_TRUE(boxes_.Texts().empty()) << ::testing::PrintToString(boxes_.Texts());
}

} // namespace
