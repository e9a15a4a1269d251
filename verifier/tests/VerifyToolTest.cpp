// interview-verify as a receiver runs it: archives and folders of them, text and JSON, exit codes,
// and archives that are cut, not zips or claim impossible sizes.
#include "verifier/tests/InterviewFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sys/stat.h>

#ifndef INTERVIEW_VERIFY
#error "INTERVIEW_VERIFY must name the built program"
#endif

namespace interview_check {
namespace {

namespace fs = std::filesystem;
using testing::CommandResult;
using testing::InterviewFixture;
using testing::Quoted;

CommandResult Verify(const std::string& arguments) {
    return testing::RunCommand(std::string(INTERVIEW_VERIFY) + " " + arguments + " 2>/dev/null");
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// A sound archive and the faulty kinds a receiver meets, side by side in one folder.
class VerifyToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        sound = interview.Zip("a-sound.zip");
        fs::copy_file(sound, interview.Scratch("b-flipped.zip"));
        testing::ZipSurgery("flip " + Quoted(interview.Scratch("b-flipped.zip")) + " " +
                            Quoted(inside + "2.mp3"));
        fs::copy_file(sound, interview.Scratch("c-truncated.zip"));
        fs::resize_file(interview.Scratch("c-truncated.zip"), fs::file_size(sound) / 2);
        testing::WriteFile(interview.Scratch("d-not-a-zip.zip"), "MZ\x90 this is no archive");
        fs::copy_file(sound, interview.Scratch("e-claims-4gib.zip"));
        testing::ZipSurgery("claim " + Quoted(interview.Scratch("e-claims-4gib.zip")) + " " +
                            Quoted(inside + "1.mp3") + " 4294967294");
        fs::copy_file(sound, interview.Scratch("f-report-claims-4gib.zip"));
        testing::ZipSurgery("claim " + Quoted(interview.Scratch("f-report-claims-4gib.zip")) + " " +
                            Quoted(inside + InterviewFixture::ReportName) + " 4294967294");
        archives = interview.Scratch("");
    }

    InterviewFixture interview{3};
    const std::string inside = std::string(InterviewFixture::FolderName) + "/";
    std::string sound;
    std::string archives;
};

TEST_F(VerifyToolTest, ASoundArchiveIsOkAndExitsWithZero) {
    const CommandResult result = Verify("--verbose " + Quoted(sound));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    const std::vector<std::string> lines = Lines(result.output);
    ASSERT_EQ(lines.size(), 5u) << result.output;
    EXPECT_EQ(lines[0], "OK      " + sound + "  (3 записи, 0:03)");
    EXPECT_TRUE(
        std::regex_match(lines[2], std::regex(" +2\\.mp3  \\d+ байт  CRC [0-9A-F]{8}  0:01")))
        << lines[2];
    EXPECT_EQ(lines[4], "Проверено архивов: 1. Исправны: 1. С ошибками: 0.");
}

TEST_F(VerifyToolTest, AFolderIsCheckedInOrderWithEveryFaultNamed) {
    for (const char* jobs : {"--jobs 1", "-j3", "--jobs=2"}) {
        const CommandResult result = Verify(std::string(jobs) + " " + Quoted(archives));
        EXPECT_EQ(result.exitCode, 1) << result.output;
        const std::vector<std::string> lines = Lines(result.output);
        ASSERT_EQ(lines.size(), 7u) << result.output;
        EXPECT_EQ(lines[0].rfind("OK      " + interview.Scratch("a-sound.zip"), 0), 0u);
        const std::vector<std::pair<std::string, std::string>> faults = {
            {"b-flipped.zip", "2.mp3: "},
            {"c-truncated.zip", "архив обрезан"},
            {"d-not-a-zip.zip", "не является zip-архивом"},
            {"e-claims-4gib.zip", "1.mp3: размер не совпадает"},
            {"f-report-claims-4gib.zip", "отчёт заявлен размером 4294967294 байт"},
        };
        for (std::size_t i = 0; i < faults.size(); ++i) {
            EXPECT_EQ(lines[i + 1].rfind("ОШИБКА  " + interview.Scratch(faults[i].first) + ": ", 0),
                      0u)
                << lines[i + 1];
            EXPECT_NE(lines[i + 1].find(faults[i].second), std::string::npos) << lines[i + 1];
        }
        EXPECT_EQ(lines[6], "Проверено архивов: 6. Исправны: 1. С ошибками: 5.");
    }
    // Standard error is no terminal here: no progress line may creep into a log.
    const CommandResult logged =
        testing::RunCommand(std::string(INTERVIEW_VERIFY) + " " + Quoted(archives) + " 2>&1");
    EXPECT_EQ(logged.output.find('\r'), std::string::npos);
    EXPECT_EQ(logged.output.find(" из "), std::string::npos);
}

TEST_F(VerifyToolTest, JsonGivesOneObjectPerArchive) {
    const CommandResult result =
        Verify("--json " + Quoted(sound) + " " + Quoted(interview.Scratch("b-flipped.zip")));
    EXPECT_EQ(result.exitCode, 1);
    // Python's own parser judges the shape.
    const std::string script =
        "import json,sys\n"
        "objects=[json.loads(l) for l in sys.stdin.read().splitlines()]\n"
        "assert len(objects)==2, objects\n"
        "good,bad=objects\n"
        "assert good['ok'] is True and good['readable'] is True and good['problems']==[]\n"
        "assert good['folder']=='01-05032026-000145-012' and good['room']=='012'\n"
        "assert good['school_name']=='Школа №1; корпус 2' and good['participants']==3\n"
        "assert [r['name'] for r in good['recordings']]==['1.mp3','2.mp3','3.mp3']\n"
        "assert all(r['ok'] and abs(r['duration_seconds']-1)<0.06 and r['sample_rate']==44100"
        " and len(r['crc32'])==8 for r in good['recordings'])\n"
        "assert bad['ok'] is False and bad['problems'][0]['entry']=='2.mp3', bad\n"
        "print('shape ok')\n";
    const CommandResult shape = testing::RunCommand("printf '%s' " + Quoted(result.output) +
                                                    " | python3 -c " + Quoted(script) + " 2>&1");
    EXPECT_EQ(shape.output, "shape ok\n") << result.output;
}

TEST_F(VerifyToolTest, APathThatCannotBeReadExitsWithTwo) {
    const CommandResult missing =
        Verify(Quoted(sound) + " " + Quoted(interview.Scratch("no-such.zip")));
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.output.find("ОШИБКА  " + interview.Scratch("no-such.zip") + ": не читается"),
              std::string::npos)
        << missing.output;
    EXPECT_NE(missing.output.find("Не прочитаны: 1."), std::string::npos);
    EXPECT_EQ(Verify("--jobs 0 " + Quoted(sound)).exitCode, 2);
    EXPECT_EQ(Verify("--no-such-option " + Quoted(sound)).exitCode, 2);
    EXPECT_EQ(Verify("").exitCode, 2);
    // A pipe named as an archive would block a plain open for ever.
    const std::string pipe = interview.Scratch("pipe.zip");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(Verify(Quoted(pipe)).exitCode, 2);
    const std::string empty = interview.Scratch("empty");
    fs::create_directory(empty);
    EXPECT_EQ(Verify(Quoted(empty)).exitCode, 2);
}

// In a folder given to the program, whatever is named like an archive and is none (a pipe, a link
// to nothing) is reported and counted as unread, never skipped and never waited on.
TEST_F(VerifyToolTest, APipeOrADanglingLinkNamedZipInAFolderIsReported) {
    const std::string folder = interview.Scratch("handed-in");
    fs::create_directory(folder);
    fs::copy_file(sound, folder + "/a.zip");
    ASSERT_EQ(::mkfifo((folder + "/b-pipe.zip").c_str(), 0600), 0);
    fs::create_symlink(folder + "/gone.zip", folder + "/c-dangling.zip");
    const CommandResult result = Verify(Quoted(folder));
    EXPECT_EQ(result.exitCode, 2) << result.output;
    EXPECT_NE(result.output.find("ОШИБКА  " + folder + "/b-pipe.zip: это не обычный файл"),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("ОШИБКА  " + folder + "/c-dangling.zip: ссылка ведёт"),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("OK      " + folder + "/a.zip"), std::string::npos);
}

// A crafted file name cannot move the cursor or start a new line to forge a verdict on a terminal:
// every control character is shown as its code.
TEST_F(VerifyToolTest, ControlCharactersInNamesAreShownEscaped) {
    const std::string folder = interview.Scratch("crafted");
    fs::create_directory(folder);
    const std::string forged = "x\r\x1B[2KOK      all fine\n\x7F.zip";
    fs::copy_file(interview.Scratch("b-flipped.zip"), folder + "/" + forged);
    const CommandResult result = Verify(Quoted(folder));
    EXPECT_EQ(result.exitCode, 1) << result.output;
    for (const char control : {'\r', '\x1B', '\x7F'})
        EXPECT_EQ(result.output.find(control), std::string::npos) << result.output;
    for (const std::string& line : Lines(result.output))
        EXPECT_FALSE(line.starts_with("OK")) << result.output;
    EXPECT_NE(
        result.output.find("ОШИБКА  " + folder + "/x\\x0D\\x1B[2KOK      all fine\\x0A\\x7F.zip: "),
        std::string::npos)
        << result.output;
}

TEST_F(VerifyToolTest, HelpAndVersionSpeakRussian) {
    const CommandResult help = Verify("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.output.rfind("Использование: interview-verify", 0), 0u);
    EXPECT_NE(help.output.find("Код завершения"), std::string::npos);
    const CommandResult version = Verify("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output.rfind("interview-verify, версия ", 0), 0u);
}

} // namespace
} // namespace interview_check
