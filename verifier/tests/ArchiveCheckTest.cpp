// The receiver's check of one archive: a sound interview passes with its recordings' lengths;
// each fault a receiver must hear of is named with the entry concerned.
#include "verifier/ArchiveCheck.h"
#include "verifier/tests/InterviewFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace interview_check {
namespace {

namespace fs = std::filesystem;
using testing::InterviewFixture;
using testing::Quoted;

std::string ProblemsText(const ArchiveVerdict& verdict) {
    std::string text;
    for (const Problem& problem : verdict.problems)
        text += "[" + problem.entry + ": " + problem.reason + "] ";
    return text;
}

bool HasProblem(const ArchiveVerdict& verdict, const std::string& entry,
                const std::string& reason) {
    for (const Problem& problem : verdict.problems)
        if (problem.entry == entry && problem.reason.find(reason) != std::string::npos)
            return true;
    return false;
}

TEST(ArchiveCheckTest, ASoundInterviewPassesWithItsRecordingsLengths) {
    const InterviewFixture interview(3);
    for (const bool decode : {false, true}) {
        const ArchiveVerdict verdict = CheckArchive(interview.Zip(), {decode});
        EXPECT_TRUE(verdict.Sound()) << ProblemsText(verdict);
        EXPECT_EQ(verdict.folder, InterviewFixture::FolderName);
        EXPECT_EQ(verdict.reportName, InterviewFixture::ReportName);
        ASSERT_EQ(verdict.recordings.size(), 3u);
        for (const RecordingVerdict& recording : verdict.recordings) {
            EXPECT_TRUE(recording.sound);
            EXPECT_NEAR(recording.mp3.seconds, 1.0, 0.06) << recording.name;
        }
        EXPECT_NEAR(verdict.Seconds(), 3.0, 0.2);
    }
}

// The agreed line of a participant whose recording never started: listed, counted, and no file.
TEST(ArchiveCheckTest, ARecordingThatNeverStartedIsListedWithoutAFile) {
    const InterviewFixture interview(3);
    fs::remove(interview.InFolder("3.mp3"));
    interview.WriteReport({1, 2, 3}, 3);
    const ArchiveVerdict verdict = CheckArchive(interview.Zip());
    EXPECT_TRUE(verdict.Sound()) << ProblemsText(verdict);
    ASSERT_EQ(verdict.recordings.size(), 3u);
    EXPECT_TRUE(verdict.recordings[2].notStarted);
    EXPECT_EQ(verdict.RecordingsHeld(), 2u);
}

TEST(ArchiveCheckTest, EachFaultIsNamedWithItsEntry) {
    const std::string report = InterviewFixture::ReportName;
    struct Case {
        std::string label;
        // Changes the folder before it is packed; returns the archive to check.
        std::function<std::string(const InterviewFixture&)> make;
        std::string entry;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"a recording the report does not list",
         [](const InterviewFixture& interview) {
             fs::copy_file(testing::Recording(4), interview.InFolder("4.mp3"));
             return interview.Zip();
         },
         "4.mp3", "лишняя запись"},
        {"a listed recording missing",
         [](const InterviewFixture& interview) {
             fs::remove(interview.InFolder("2.mp3"));
             return interview.Zip();
         },
         "2.mp3", "нет в архиве"},
        {"a recording that is not MP3 although its line matches",
         [](const InterviewFixture& interview) {
             testing::WriteFile(interview.InFolder("2.mp3"), std::string(5000, 'x'));
             interview.WriteReport({1, 2, 3}, 3);
             return interview.Zip();
         },
         "2.mp3", "ни одного кадра"},
        {"a recording that never started, listed, with a file all the same",
         [](const InterviewFixture& interview) {
             fs::rename(interview.InFolder("2.mp3"), interview.Scratch("2.mp3"));
             interview.WriteReport({1, 2, 3}, 3);
             fs::rename(interview.Scratch("2.mp3"), interview.InFolder("2.mp3"));
             return interview.Zip();
         },
         "2.mp3", "запись не состоялась"},
        {"size -1 without the marks of a recording that never started",
         [](const InterviewFixture& interview) {
             fs::remove(interview.InFolder("2.mp3"));
             interview.WriteReport({1, 2, 3}, 3);
             std::string bytes = interview.ReportBytes();
             bytes.replace(bytes.find("30-12-1899"), 10, "05-03-2026");
             testing::WriteFile(interview.InFolder(InterviewFixture::ReportName), bytes);
             return interview.Zip();
         },
         "2.mp3", "без отметок"},
        {"a count beyond the last recording",
         [](const InterviewFixture& interview) {
             interview.WriteReport({1, 2, 3}, 4);
             return interview.Zip();
         },
         report, "участников 4, а последняя запись — 3.mp3"},
        {"a participant without a line",
         [](const InterviewFixture& interview) {
             fs::remove(interview.InFolder("2.mp3"));
             interview.WriteReport({1, 3}, 3);
             return interview.Zip();
         },
         report, "нет строк отчёта для участников 2"},
        {"no recording at all",
         [](const InterviewFixture& interview) {
             for (const char* name : {"1.mp3", "2.mp3", "3.mp3"})
                 fs::remove(interview.InFolder(name));
             interview.WriteReport({}, 1);
             return interview.Zip();
         },
         report, "нет ни одной записи"},
        {"a second report",
         [](const InterviewFixture& interview) {
             fs::copy_file(interview.InFolder(InterviewFixture::ReportName),
                           interview.InFolder("01-07032026-000000-000145-012.csv"));
             return interview.Zip();
         },
         "01-07032026-000000-000145-012.csv", "второй отчёт"},
        {"a report named against the rules",
         [](const InterviewFixture& interview) {
             fs::rename(interview.InFolder(InterviewFixture::ReportName),
                        interview.InFolder("отчёт.csv"));
             return interview.Zip();
         },
         "отчёт.csv", "имя отчёта не по правилам"},
        {"a folder named for another room",
         [](const InterviewFixture& interview) {
             const std::string other = interview.Scratch("01-05032026-000145-013");
             fs::rename(interview.Scratch(InterviewFixture::FolderName), other);
             testing::ZipSurgery("pack " + Quoted(interview.Scratch("other.zip")) + " " +
                                 Quoted(interview.Scratch("")) + " 01-05032026-000145-013/ " +
                                 "01-05032026-000145-013/" + InterviewFixture::ReportName +
                                 " 01-05032026-000145-013/1.mp3 01-05032026-000145-013/2.mp3 "
                                 "01-05032026-000145-013/3.mp3");
             return interview.Scratch("other.zip");
         },
         "01-05032026-000145-013/", "имя папки не совпадает с отчётом"},
        {"a folder whose room ends in a dot, which Windows cannot hold",
         [](const InterviewFixture& interview) {
             const std::string other = interview.Scratch("01-05032026-000145-01.");
             fs::rename(interview.Scratch(InterviewFixture::FolderName), other);
             testing::ZipSurgery("pack " + Quoted(interview.Scratch("dot.zip")) + " " +
                                 Quoted(interview.Scratch("")) + " 01-05032026-000145-01./ " +
                                 "01-05032026-000145-01./" + InterviewFixture::ReportName +
                                 " 01-05032026-000145-01./1.mp3 01-05032026-000145-01./2.mp3 "
                                 "01-05032026-000145-01./3.mp3");
             return interview.Scratch("dot.zip");
         },
         "01-05032026-000145-01./", "имя папки не по правилам"},
        {"a report dated before its folder (the clock went back)",
         [](const InterviewFixture& interview) {
             fs::rename(interview.InFolder(InterviewFixture::ReportName),
                        interview.InFolder("01-04032026-000000-000145-012.csv"));
             return interview.Zip();
         },
         "01-04032026-000000-000145-012.csv", "датирован раньше папки"},
        {"a file beside the interview folder",
         [](const InterviewFixture& interview) {
             const std::string archive = interview.Zip();
             testing::WriteFile(interview.Scratch("readme.txt"), "hello");
             testing::RunCommand("cd " + Quoted(interview.Scratch("")) + " && python3 -c " +
                                 Quoted("import zipfile,sys; zipfile.ZipFile(sys.argv[1],'a')"
                                        ".write('readme.txt')") +
                                 " " + Quoted(archive));
             return archive;
         },
         "readme.txt", "вне папки"},
        {"a report line with a malformed checksum",
         [](const InterviewFixture& interview) {
             std::string bytes = interview.ReportBytes();
             const std::size_t crc = bytes.find(".mp3;");
             const std::size_t end = bytes.find("\r\n", crc);
             bytes[end - 1] = 'z';
             testing::WriteFile(interview.InFolder(InterviewFixture::ReportName), bytes);
             return interview.Zip();
         },
         report, "строка 6: контрольная сумма не из 8"},
    };
    for (const Case& c : cases) {
        const InterviewFixture interview(3);
        const ArchiveVerdict verdict = CheckArchive(c.make(interview));
        EXPECT_FALSE(verdict.Sound()) << c.label;
        EXPECT_TRUE(verdict.readable) << c.label;
        EXPECT_TRUE(HasProblem(verdict, c.entry, c.reason))
            << c.label << ": " << ProblemsText(verdict);
    }
}

// A listed recording whose stream runs far past what the archive declares is cut off at the
// declared size, not decompressed to its end.
TEST(ArchiveCheckTest, DataPastTheDeclaredSizeIsNotFollowed) {
    const InterviewFixture interview(1);
    const std::string inside = std::string(InterviewFixture::FolderName) + "/";
    testing::WriteFile(interview.InFolder("1.mp3"), std::string(1000, '\0'));
    interview.WriteReport({1}, 1);
    const std::string archive = interview.Scratch("bomb.zip");
    testing::ZipSurgery("pack " + Quoted(archive) + " " + Quoted(interview.Scratch("")) + " " +
                        Quoted(inside + InterviewFixture::ReportName));
    testing::ZipSurgery("bomb " + Quoted(archive) + " " + Quoted(inside + "1.mp3") + " 200000000");
    testing::ZipSurgery("claim " + Quoted(archive) + " " + Quoted(inside + "1.mp3") + " 1000");
    const ArchiveVerdict verdict = CheckArchive(archive);
    EXPECT_TRUE(HasProblem(verdict, "1.mp3", "длиннее заявленного")) << ProblemsText(verdict);
}

} // namespace
} // namespace interview_check
