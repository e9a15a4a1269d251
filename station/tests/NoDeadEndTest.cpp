// No dead end on exam day: every interview the station starts, it can close. Each state below was
// met on a hostile exam day; each ends in an archive the receiver's check accepts, or in a refusal
// whose named action clears it, after which the close proves the archive.
#include "platform/TextCodec.h"
#include "station/tests/CoreFixture.h"
#include "verifier/ArchiveCheck.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>

using namespace station;

namespace {

namespace fs = std::filesystem;
using coretest::Pump;
using coretest::PumpUntil;
using coretest::ReadWholeFile;

class NoDeadEndTest : public coretest::CoreFixture {
protected:
    // The station ends and starts again on the same interview.
    void Restart() {
        Rewire();
        OpenInterview();
    }
    std::string Day(platform::DateTime day) const {
        return platform::FormatDateTime("ddmmyyyy", day);
    }
    std::string ArchivePath() const {
        return desktop_.Desktop() + "/01-" + Day(State().examDate) + "-000145-012.zip";
    }
    std::string ReportPath() const {
        return State().folder + "/01-" + Day(State().examDate) + "-000000-000145-012.csv";
    }
    std::string Report() const { return platform::Windows1251ToUtf8(ReadWholeFile(ReportPath())); }
    bool Proven() const { return interviewSeen_.proof && interviewSeen_.proof->sound; }
    std::string ProofText() const {
        return interviewSeen_.proof ? interviewSeen_.proof->text : "no proof";
    }
    // The receiver's own check of the archive the close called proven.
    void ExpectReceiverAccepts() const {
        const interview_check::ArchiveVerdict verdict =
            interview_check::CheckArchive(ArchivePath());
        EXPECT_TRUE(verdict.Sound())
            << (verdict.problems.empty()
                    ? ""
                    : verdict.problems[0].entry + ": " + verdict.problems[0].reason);
    }
    // Whether a box the operator was shown holds `text`.
    bool Shown(const std::string& text) const {
        for (const std::string& shown : boxes_.Texts())
            if (shown.find(text) != std::string::npos)
                return true;
        return false;
    }
};

// A recording's number without its file (a failed start the last run kept only in memory, a
// botched file the operator deleted): readiness names the participant, the report lists them as
// never started, and the close proves the archive.
TEST_F(NoDeadEndTest, AParticipantWithoutARecordingIsNamedAtReadinessAndListedAsNeverStarted) {
    OpenInterview();
    PlaceRecording(1);
    PlaceRecording(3);
    boxes_.Clear();
    Restart();
    EXPECT_TRUE(Shown("Нет записей участников 2: в отчёте они будут указаны как несостоявшиеся"))
        << ::testing::PrintToString(boxes_.Texts());
    EXPECT_TRUE(Shown("Нумерация продолжится с участника 4"));
    interview_->StartRecording();
    Pump(1.2);
    CloseInterview();

    ASSERT_TRUE(Proven()) << ProofText();
    ExpectReceiverAccepts();
    const std::string report = Report();
    EXPECT_NE(report.find("\r\n1.mp3;"), std::string::npos);
    EXPECT_NE(report.find("\r\n2.mp3;30-12-1899 00.00.00;-1;00000000\r\n3.mp3;"), std::string::npos)
        << report;
    EXPECT_TRUE(report.ends_with("Участников;4\r\n")) << report;
}

// A link or a FIFO at the next recording's name: the start is refused and the target untouched,
// and no line is written for the refused name (the link target's size was listed, and every later
// close failed). Whether the operator removes it, as the message says, or simply goes on, the next
// participant records and the close proves the archive with the refused number listed as never
// started; what is left at the name is not packed.
TEST_F(NoDeadEndTest, ARefusedOutputNameWritesNoLineAndTheCloseSucceeds) {
    const std::string target = desktop_.Home() + "/target.bin";
    std::ofstream(target) << std::string(80, 'x');
    const struct {
        const char* label;
        std::function<void(const std::string&)> plant;
        bool removed;
    } cases[] = {
        {"a link", [&](const std::string& name) { fs::create_symlink(target, name); }, true},
        {"a FIFO", [](const std::string& name) { ASSERT_EQ(::mkfifo(name.c_str(), 0644), 0); },
         true},
        {"a link left", [&](const std::string& name) { fs::create_symlink(target, name); }, false},
        {"a FIFO left", [](const std::string& name) { ASSERT_EQ(::mkfifo(name.c_str(), 0644), 0); },
         false},
    };
    for (const auto& c : cases) {
        fs::remove_all(desktop_.Desktop());
        fs::create_directories(desktop_.Desktop());
        interviewSeen_.proof.reset();
        Rewire();
        OpenInterview();
        interview_->StartRecording();
        Pump(1.0);
        c.plant(Recording(2));
        boxes_.Clear();
        interview_->NextParticipant();
        ASSERT_TRUE(PumpUntil([&] { return boxes_.Texts().size() >= 2; })) << c.label;
        EXPECT_TRUE(Shown("Удалите")) << c.label << ::testing::PrintToString(boxes_.Texts());
        if (c.removed)
            fs::remove(Recording(2));
        interview_->NextParticipant();
        ASSERT_TRUE(PumpUntil([&] { return RecordingInto(Recording(3)); })) << c.label;
        Pump(1.0);
        CloseInterview();

        ASSERT_TRUE(Proven()) << c.label << ": " << ProofText();
        ExpectReceiverAccepts();
        EXPECT_NE(Report().find("\r\n2.mp3;30-12-1899 00.00.00;-1;00000000\r\n"), std::string::npos)
            << c.label << "\n"
            << Report();
        EXPECT_EQ(ReadWholeFile(target), std::string(80, 'x')) << c.label;
    }
}

// A symbolic link at the interview folder's own name is never followed: readiness is refused with
// the folder named, nothing is written into the link's target, and once the link is gone readiness
// opens the interview in a folder of its own.
TEST_F(NoDeadEndTest, ALinkAtTheInterviewFolderIsRefusedAtReadiness) {
    SaveParameters();
    const std::string folder =
        InterviewFolderFor(desktop_.Desktop(), State().examDate, "000145", "012");
    const std::string elsewhere = desktop_.Home() + "/elsewhere";
    fs::create_directories(elsewhere);
    fs::create_directories(desktop_.Desktop());
    fs::create_symlink(elsewhere, folder);
    boxes_.Clear();
    EXPECT_FALSE(interview_->ConfirmReadiness());
    EXPECT_TRUE(Shown("На месте папки собеседования " + folder + " стоит символическая ссылка"))
        << ::testing::PrintToString(boxes_.Texts());
    EXPECT_TRUE(fs::is_empty(elsewhere));

    fs::remove(folder);
    ASSERT_TRUE(interview_->ConfirmReadiness());
    EXPECT_TRUE(fs::is_directory(fs::symlink_status(folder)));
}

// The parameters in force are only those saved: a refused save withdraws the earlier ones, so that
// readiness never opens an interview under a room the field no longer shows; a save that succeeds
// puts the new ones in force.
TEST_F(NoDeadEndTest, ARefusedSaveLeavesNoParametersInForce) {
    SaveParameters();
    boxes_.Clear();
    EXPECT_FALSE(interview_->SaveParameters(
        {.region = "Город", .schoolName = "Школа № 1", .schoolCode = "145", .room = "6;"}));
    EXPECT_FALSE(interview_->ConfirmReadiness());
    EXPECT_FALSE(fs::exists(desktop_.Desktop()) && !fs::is_empty(desktop_.Desktop()));

    ASSERT_TRUE(interview_->SaveParameters(
        {.region = "Город", .schoolName = "Школа № 1", .schoolCode = "145", .room = "6"}));
    ASSERT_TRUE(interview_->ConfirmReadiness());
    EXPECT_TRUE(State().folder.ends_with("-000145-006")) << State().folder;
}

// A code or room that Windows, where the receiving side may unpack, cannot hold as a name: blank,
// spaces only, or ending in a dot or a space. Refused at saving with the field named.
TEST_F(NoDeadEndTest, BlankOrDotEndingCodesAndRoomsAreRefusedWithTheFieldNamed) {
    const struct {
        std::string code, room, field;
    } cases[] = {
        {"   ", "12", "Код ОУ"},         {"145", ".", "Номер аудитории"},
        {"145.", "12", "Код ОУ"},        {"145", "12 ", "Номер аудитории"},
        {"145", " ", "Номер аудитории"},
    };
    for (const auto& c : cases) {
        boxes_.Clear();
        EXPECT_FALSE(interview_->SaveParameters(
            {.region = "Город", .schoolName = "Школа", .schoolCode = c.code, .room = c.room}))
            << "«" << c.code << "» «" << c.room << "»";
        EXPECT_EQ(boxes_.Texts().size(), 1u);
        EXPECT_TRUE(Shown("Поле «" + c.field + "» не может быть пустым"))
            << ::testing::PrintToString(boxes_.Texts());
    }
    EXPECT_TRUE(interview_->SaveParameters(
        {.region = "Город", .schoolName = "Школа", .schoolCode = " 145", .room = "1.2"}));
}

// The clock set back a day during the interview: one interview has one date, so the report and
// the archive are not dated before the interview's folder, and the receiver accepts the archive.
TEST_F(NoDeadEndTest, AClockSetBackDatesNoCloseBeforeTheInterview) {
    OpenInterview();
    PlaceRecording(1);
    Restart();
    calendar_.day = State().examDate - 1;
    CloseInterview();
    ASSERT_TRUE(Proven()) << ProofText();
    EXPECT_TRUE(fs::exists(ArchivePath())) << ArchivePath();
    EXPECT_TRUE(fs::exists(ReportPath())) << ReportPath();
    ExpectReceiverAccepts();
}

// Every refusal the close and its read-back can give in a folder the station made: the state that
// causes it, the refusal naming the entry, the action that its message names (move the named entry
// out of the interview folder, record a participant), and the close that then proves the archive.
// Where the station's own actions make a refusal unreachable, the state is shown to close at once.
// The others of the check's catalogue (names, the report's grammar, a second folder, a file outside
// the folder, a compressed stream's damage) concern what the station writes itself; a full disk
// and a link at the report's or archive's name are cleared in ExamCloseTest and DurabilityTest.
TEST_F(NoDeadEndTest, EveryRefusalOfTheCloseIsClearedByTheActionItNames) {
    const std::string whole = SilentMp3(40);
    std::string junk;
    while (junk.size() < 20000)
        junk += "not a frame ";
    const auto moveOut = [this](const std::string& name) {
        return [this, name] {
            fs::rename(State().folder + "/" + name, desktop_.Home() + "/moved-" + name);
        };
    };
    const auto folder = [this] { return State().folder + "/"; };
    const struct Case {
        const char* label;
        bool afterReadiness; // planted once the interview is open, else before the restart
        std::function<void()> plant;
        std::string refusal; // empty: the station's own actions make the refusal unreachable
        std::function<void()> clear;
    } cases[] = {
        {"a note the report does not list", true,
         [&] { std::ofstream(folder() + "notes.txt") << "note"; },
         "Архив не прошёл проверку: notes.txt, лишняя запись", moveOut("notes.txt")},
        {"a copy of a recording", true,
         [&] { fs::copy_file(folder() + "1.mp3", folder() + "1 (копия).mp3"); },
         "1 (копия).mp3, лишняя запись", moveOut("1 (копия).mp3")},
        {"a folder named like a recording", true,
         [&] {
             fs::create_directories(folder() + "5.mp3");
             std::ofstream(folder() + "5.mp3/x") << "x";
         },
         "5.mp3/", moveOut("5.mp3")},
        {"a folder at a recording's name below the highest", false,
         [&] {
             fs::remove(folder() + "1.mp3");
             fs::create_directories(folder() + "1.mp3");
         },
         "1.mp3/", moveOut("1.mp3")},
        {"a recording that goes on after junk in the middle", false,
         [&] { std::ofstream(folder() + "2.mp3", std::ios::binary) << whole + junk + whole; },
         "Архив не прошёл проверку: 2.mp3, ", moveOut("2.mp3")},
        {"a recording changed after it was listed", true,
         [&] { std::ofstream(folder() + "2.mp3", std::ios::binary) << SilentMp3(41); },
         "Архив не прошёл проверку: 2.mp3, ", moveOut("2.mp3")},
        {"a listed recording removed (no line without its file)",
         true,
         [&] { fs::remove(folder() + "1.mp3"); },
         "",
         {}},
        {"a recording removed before the restart (no participant without a line)",
         false,
         [&] { fs::remove(folder() + "1.mp3"); },
         "",
         {}},
        {"an earlier close's report of another day (no second report)",
         true,
         [&] {
             std::ofstream(folder() + "01-" + Day(State().examDate - 1) + "-000000-000145-012.csv")
                 << "old";
         },
         "",
         {}},
        {"a file manager's hidden file (never packed)",
         true,
         [&] { std::ofstream(folder() + ".directory") << "[Dolphin]"; },
         "",
         {}},
    };
    for (const Case& c : cases) {
        fs::remove_all(desktop_.Desktop());
        fs::create_directories(desktop_.Desktop());
        interviewSeen_.proof.reset();
        Rewire();
        OpenInterview();
        PlaceRecording(1);
        PlaceRecording(2);
        if (!c.afterReadiness)
            c.plant();
        Restart();
        if (c.afterReadiness)
            c.plant();
        boxes_.Clear();
        CloseInterview();
        if (!c.refusal.empty()) {
            EXPECT_FALSE(Proven()) << c.label;
            EXPECT_FALSE(fs::exists(ArchivePath())) << c.label;
            EXPECT_TRUE(Shown(c.refusal))
                << c.label << ": " << ::testing::PrintToString(boxes_.Texts());
            ASSERT_TRUE(interviewSeen_.exam.closeShown) << c.label;
            c.clear();
            CloseInterview();
        }
        EXPECT_TRUE(Proven()) << c.label << ": " << ProofText();
        ExpectReceiverAccepts();
    }
}

} // namespace
