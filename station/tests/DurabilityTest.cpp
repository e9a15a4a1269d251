// What the station leaves on disk when the power goes or the program is killed at any moment, and
// what it does with links and odd files planted in its way: recordings synced while they run, the
// report and the archive replaced only by renaming synced, proven copies, never an output opened
// through a link, never a hang on a FIFO or a device in the folder.
#include "platform/DiskSync.h"
#include "station/safeguards/OperatorMessages.h"
#include "station/tests/CoreFixture.h"
#include "testsupport/TemporaryFileSystem.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace station;

extern char** environ;

namespace {

namespace fs = std::filesystem;
using coretest::Pump;
using coretest::PumpUntil;
using coretest::ReadWholeFile;
using platform::DiskStep;

// Data that does not compress: packing it takes as long, and as much room, as it is big.
void WriteNoise(const std::string& path, std::size_t bytes) {
    std::string noise(bytes, '\0');
    std::uint32_t seed = 777;
    for (char& byte : noise)
        byte = static_cast<char>((seed = seed * 1103515245 + 12345) >> 24);
    std::ofstream(path, std::ios::binary) << noise;
}

// The archive's entries as Python's zipfile lists them, after it has tested every one.
std::string ZipNames(const std::string& archive) {
    std::string output;
    FILE* pipe = ::popen(("python3 -c 'import sys, zipfile\n"
                          "z = zipfile.ZipFile(sys.argv[1])\n"
                          "assert z.testzip() is None\n"
                          "print(*z.namelist(), sep=chr(10))' '" +
                          archive + "' 2>&1")
                             .c_str(),
                         "r");
    char buffer[4096];
    while (std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, got);
    ::pclose(pipe);
    return output;
}

// Records the file layer's syncs and renames while it lives.
class StepLog {
public:
    StepLog() {
        platform::ObserveDiskSteps([this](const DiskStep& step) {
            std::lock_guard guard(lock_);
            steps_.push_back({step, std::this_thread::get_id()});
        });
    }
    ~StepLog() { platform::ObserveDiskSteps({}); }
    struct Seen {
        DiskStep step;
        std::thread::id thread;
    };
    std::vector<Seen> Steps() const {
        std::lock_guard guard(lock_);
        return steps_;
    }

private:
    mutable std::mutex lock_;
    std::vector<Seen> steps_;
};

class DurabilityTest : public coretest::CoreFixture {
protected:
    void SetUp() override { OpenInterview(); }

    // The station ends and starts again on the same interview.
    void Restart() {
        Rewire();
        OpenInterview();
    }
    // One participant recorded for about `seconds`, and the interview closed.
    void RecordAndClose(double seconds) {
        interview_->StartRecording();
        Pump(seconds);
        CloseInterview();
    }
    std::string Stem() const {
        return "01-" + platform::FormatDateTime("ddmmyyyy", calendar_.Today()) + "-000145-012";
    }
    std::string ReportName() const {
        return "01-" + platform::FormatDateTime("ddmmyyyy", calendar_.Today()) +
               "-000000-000145-012.csv";
    }
    std::string ReportPath() const { return State().folder + "/" + ReportName(); }
    std::string ArchivePath() const { return desktop_.Desktop() + "/" + Stem() + ".zip"; }
    // Hidden temporaries of the archive left on the Desktop.
    std::vector<std::string> ArchiveTemporaries() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(desktop_.Desktop()))
            if (entry.path().filename().string().starts_with("." + Stem() + ".zip.partial-"))
                found.push_back(entry.path().string());
        return found;
    }
    bool Proven() const { return interviewSeen_.proof && interviewSeen_.proof->sound; }
};

std::size_t IndexOf(const std::vector<StepLog::Seen>& steps, DiskStep::Kind kind,
                    const std::function<bool(const DiskStep&)>& match, std::size_t from = 0) {
    for (std::size_t i = from; i < steps.size(); ++i)
        if (steps[i].step.kind == kind && match(steps[i].step))
            return i;
    return steps.size();
}

// The order that makes a power cut harmless: the recording's name and data reach the disk while
// it runs, off the GUI thread; its last data before the report counts it; the report and the
// archive each synced under a hidden name before the rename that makes them count, and their
// folder synced after it.
TEST_F(DurabilityTest, RecordingReportAndArchiveReachTheDiskBeforeTheyCount) {
    StepLog log;
    RecordAndClose(2.6);
    ASSERT_TRUE(Proven()) << (interviewSeen_.proof ? interviewSeen_.proof->text : "no proof");
    const std::vector<StepLog::Seen> steps = log.Steps();
    const std::string recording = Recording(1);
    const auto is = [](const std::string& path) {
        return [path](const DiskStep& step) { return step.path == path; };
    };
    const auto hiddenBeside = [](const std::string& path) {
        return [path](const DiskStep& step) {
            return step.path.starts_with(platform::FolderOfPath(path) + "/" +
                                         platform::TemporaryPrefixFor(path));
        };
    };

    // While it runs: the folder first (the file's new name), then the data again and again.
    const std::size_t folderFirst =
        IndexOf(steps, DiskStep::Kind::FolderSynced, is(State().folder));
    const std::size_t firstData = IndexOf(steps, DiskStep::Kind::DataSynced, is(recording));
    EXPECT_LT(folderFirst, firstData);
    int dataSyncs = 0;
    for (const StepLog::Seen& seen : steps)
        if (seen.step.kind == DiskStep::Kind::DataSynced && seen.step.path == recording) {
            ++dataSyncs;
            EXPECT_NE(seen.thread, std::this_thread::get_id());
        }
    EXPECT_GE(dataSyncs, 2) << "a running recording went unsynced for over a second";

    // Closed: the whole file, tags included, before the report is renamed into place.
    std::size_t lastRecordingSync = steps.size();
    for (std::size_t i = 0; i < steps.size(); ++i)
        if (steps[i].step.kind == DiskStep::Kind::FileSynced && steps[i].step.path == recording)
            lastRecordingSync = i;
    ASSERT_LT(lastRecordingSync, steps.size());
    EXPECT_EQ(steps[lastRecordingSync].step.size,
              static_cast<std::int64_t>(fs::file_size(recording)));

    const std::size_t reportSync =
        IndexOf(steps, DiskStep::Kind::FileSynced, hiddenBeside(ReportPath()));
    const std::size_t reportRename =
        IndexOf(steps, DiskStep::Kind::Renamed, hiddenBeside(ReportPath()));
    ASSERT_LT(reportRename, steps.size());
    EXPECT_LT(lastRecordingSync, reportSync);
    EXPECT_LT(reportSync, reportRename);
    EXPECT_EQ(steps[reportSync].step.size, static_cast<std::int64_t>(fs::file_size(ReportPath())));
    EXPECT_EQ(steps[reportRename].step.target, ReportPath());
    EXPECT_LT(reportRename,
              IndexOf(steps, DiskStep::Kind::FolderSynced, is(State().folder), reportRename));

    const std::size_t archiveSync =
        IndexOf(steps, DiskStep::Kind::FileSynced, hiddenBeside(ArchivePath()));
    const std::size_t archiveRename =
        IndexOf(steps, DiskStep::Kind::Renamed, hiddenBeside(ArchivePath()));
    ASSERT_LT(archiveRename, steps.size());
    EXPECT_LT(reportRename, archiveSync);
    EXPECT_LT(archiveSync, archiveRename);
    EXPECT_EQ(steps[archiveSync].step.size,
              static_cast<std::int64_t>(fs::file_size(ArchivePath())));
    EXPECT_EQ(steps[archiveRename].step.target, ArchivePath());
    EXPECT_LT(archiveRename,
              IndexOf(steps, DiskStep::Kind::FolderSynced, is(desktop_.Desktop()), archiveRename));
    EXPECT_TRUE(ArchiveTemporaries().empty());
}

// A link planted at the next recording's, the report's or the archive's name is refused with a
// Russian message and whatever it points to stays as it was; once it is gone, all goes on.
TEST_F(DurabilityTest, LinksPlantedAtTheOutputNamesAreRefusedAndTheirTargetsKept) {
    const std::string victim = desktop_.Home() + "/victim.txt";
    std::ofstream(victim) << "precious";
    const auto plant = [&](const std::string& at) {
        fs::create_symlink(victim, at);
        boxes_.Clear();
    };
    const auto expectRefused = [&](const std::string& at, const std::string& before) {
        // Which box says so: the failure of a recording is not the only one it shows.
        const std::vector<std::string> texts = boxes_.Texts();
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                                [&](const std::string& text) {
                                    return text.starts_with(before + SymbolicLinkCauseText +
                                                            " (") &&
                                           text.find(at) != std::string::npos;
                                }))
            << at << ": " << (texts.empty() ? "no box" : texts[0]);
        EXPECT_EQ(ReadWholeFile(victim), "precious");
        EXPECT_TRUE(fs::is_symlink(at));
        fs::remove(at);
    };

    interview_->StartRecording();
    Pump(1.0);
    plant(ReportPath());
    CloseInterview();
    expectRefused(ReportPath(), "");
    EXPECT_TRUE(interviewSeen_.exam.closeShown);
    EXPECT_FALSE(fs::exists(ArchivePath()));

    plant(ArchivePath());
    CloseInterview();
    expectRefused(ArchivePath(), "Не удалось создать архив собеседования " + ArchivePath() + ": ");
    EXPECT_TRUE(interviewSeen_.exam.closeShown);

    CloseInterview();
    EXPECT_TRUE(Proven()) << interviewSeen_.proof->text;
    EXPECT_FALSE(fs::is_symlink(ArchivePath()));

    Restart();
    plant(Recording(2));
    interview_->StartRecording();
    ASSERT_TRUE(PumpUntil([&] { return !boxes_.Texts().empty(); }));
    expectRefused(Recording(2), "Ошибка записи: ");
}

// A FIFO and links (to /dev/zero and to a folder) in the interview folder, and the hidden files a
// file manager leaves when the operator opens the folder: the close ends, the archive holds only
// the regular files the report lists, and the operator (and so the log) is told what was left out.
TEST_F(DurabilityTest, FifosLinksAndHiddenFilesInTheFolderAreLeftOutAndNamed) {
    const std::string folder = State().folder;
    ASSERT_EQ(::mkfifo((folder + "/pipe").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", folder + "/notes.txt");
    fs::create_symlink(desktop_.Home(), folder + "/home");
    std::ofstream(folder + "/.directory") << "[Dolphin]\nViewMode=1\n";
    fs::create_directories(folder + "/.thumbnails/normal");
    std::ofstream(folder + "/.thumbnails/normal/a.png") << "png";
    interview_->StartRecording();
    Pump(1.0);
    boxes_.Clear();
    CloseInterview();

    ASSERT_TRUE(Proven()) << (interviewSeen_.proof ? interviewSeen_.proof->text : "no proof");
    EXPECT_EQ(boxes_.Texts(),
              (std::vector<std::string>{"Не упакованы (это не обычные файлы): home "
                                        "(символическая ссылка), notes.txt (символическая "
                                        "ссылка), pipe (именованный канал).",
                                        "Не упакованы скрытые файлы (их создаёт файловый "
                                        "менеджер, в отчёт они не входят): .directory, "
                                        ".thumbnails."}));
    const std::string name = fs::path(folder).filename().string();
    EXPECT_EQ(ZipNames(ArchivePath()),
              name + "/\n" + name + "/" + ReportName() + "\n" + name + "/1.mp3\n");
}

// A re-close that fails (the Desktop's disk is full) keeps the archive proven before, byte for
// byte, and leaves no part of the new one behind.
TEST_F(DurabilityTest, AFailedRecloseKeepsThePreviousArchive) {
    testsupport::TemporaryFileSystem small("size=640k");
    if (!small.Mounted())
        GTEST_SKIP() << small.SkipReason();
    subscriptions_.clear();
    interview_.reset();
    fs::remove_all(desktop_.Desktop());
    fs::create_directory_symlink(small.Folder(), desktop_.Desktop());
    Restart();
    RecordAndClose(1.0);
    ASSERT_TRUE(Proven());
    const std::string proven = ReadWholeFile(ArchivePath());

    Restart();
    WriteNoise(State().folder + "/notes.bin", 360 * 1024);
    boxes_.Clear();
    CloseInterview();
    ASSERT_EQ(boxes_.Texts().size(), 1u);
    EXPECT_TRUE(boxes_.Texts()[0].starts_with("Не удалось создать архив собеседования " +
                                              ArchivePath() + ": " + DiskFullText))
        << boxes_.Texts()[0];
    EXPECT_EQ(ReadWholeFile(ArchivePath()), proven);
    EXPECT_TRUE(ArchiveTemporaries().empty());

    fs::remove(State().folder + "/notes.bin");
    CloseInterview();
    EXPECT_TRUE(Proven());
    subscriptions_.clear();
    interview_.reset(); // before the file system goes
}

// The packing process killed in the middle: the Desktop holds the archive proven before under the
// final name, never a part of the new one; the next close removes the remains and proves anew.
TEST_F(DurabilityTest, AKillInTheMiddleOfPackingLeavesThePreviousArchive) {
    RecordAndClose(1.0);
    ASSERT_TRUE(Proven());
    const std::string proven = ReadWholeFile(ArchivePath());

    WriteNoise(State().folder + "/notes.bin", 96 * 1024 * 1024);
    std::string archive = ArchivePath(), folder = State().folder, report = ReportName();
    char* arguments[] = {const_cast<char*>(PACK_FOLDER_CHILD), archive.data(), folder.data(),
                         report.data(), nullptr};
    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, PACK_FOLDER_CHILD, nullptr, nullptr, arguments, environ), 0);
    // Killed once a good part of the new archive is written.
    const bool midway = PumpUntil(
        [&] {
            for (const std::string& partial : ArchiveTemporaries())
                if (fs::exists(partial) && fs::file_size(partial) > 8 * 1024 * 1024)
                    return true;
            return false;
        },
        120);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(midway) << "the packing never got under way";
    ASSERT_TRUE(WIFSIGNALED(status)) << "the packing ended before it was killed";

    EXPECT_EQ(ReadWholeFile(ArchivePath()), proven);
    EXPECT_EQ(ArchiveTemporaries().size(), 1u);

    fs::remove(State().folder + "/notes.bin");
    Restart();
    CloseInterview();
    EXPECT_TRUE(Proven());
    EXPECT_TRUE(ArchiveTemporaries().empty()) << "the killed packing's remains stay";
}

// What a power cut leaves of the recordings, found when the station is started again: a recording
// cut off inside a frame keeps its whole frames, and so does one whose tail is zeros (the file's
// size reached the disk before its data) or junk; an empty file is a participant whose recording
// never started, a whole recording is left alone, and the close proves the archive. A recording
// that goes on after a damaged stretch is not the station's to cut.
TEST_F(DurabilityTest, RecordingsAPowerCutInterruptedAreMendedWhenTheInterviewResumes) {
    const std::string whole = SilentMp3(40);
    const std::string partialFrame = SilentMp3(1).substr(0, 200);
    std::string junk;
    while (junk.size() < 20000)
        junk += "not a frame \x01\xFE\xFF\x00";
    PlaceRecording(1, whole + partialFrame);
    PlaceRecording(2, "");
    PlaceRecording(3, whole);
    PlaceRecording(4, whole + std::string(64 * 1024, '\0'));
    PlaceRecording(5, whole + junk);
    const std::string goesOn = whole + junk + whole;
    PlaceRecording(6, goesOn);
    Restart();

    EXPECT_TRUE(ReadWholeFile(Recording(1)) == whole) << "the partial frame is cut off";
    EXPECT_FALSE(fs::exists(Recording(2)));
    EXPECT_TRUE(ReadWholeFile(Recording(3)) == whole) << "a whole recording is left alone";
    EXPECT_TRUE(ReadWholeFile(Recording(4)) == whole) << "the zeros are cut off";
    EXPECT_TRUE(ReadWholeFile(Recording(5)) == whole) << "the junk is cut off";
    EXPECT_TRUE(ReadWholeFile(Recording(6)) == goesOn) << "audio after the junk is kept";
    // Each cut is named to the operator, and so in the log.
    for (const std::string& cut :
         {std::string("Запись 1.mp3 обрезана до последнего целого кадра MP3: после него было 200 "
                      "байт"),
          std::string("Запись 4.mp3 обрезана до последнего целого кадра MP3: после него было 65536 "
                      "байт")}) {
        const std::vector<std::string> shown = boxes_.Texts();
        EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                                [&](const std::string& text) { return text.starts_with(cut); }))
            << cut << "\n"
            << ::testing::PrintToString(shown);
    }
    fs::rename(Recording(6), desktop_.Desktop() + "/6.mp3");
    Restart();
    CloseInterview();
    ASSERT_TRUE(Proven()) << (interviewSeen_.proof ? interviewSeen_.proof->text : "no proof");
    EXPECT_EQ(interviewSeen_.proof->text, "Архив проверен: 4 записи, контрольные суммы совпадают.");
    const std::string report = ReadWholeFile(ReportPath());
    EXPECT_NE(report.find("2.mp3;30-12-1899 00.00.00;-1;00000000\r\n"), std::string::npos);
    EXPECT_TRUE(report.ends_with(";5\r\n")) << "the count line names participant 5";
}

} // namespace
