// interview-verify --loudness, --strict and --html as a receiver runs them: the warnings in text
// and JSON, the exit status they change only when asked, and the page as a real browser shows it.
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
    return testing::RunCommand(std::string(INTERVIEW_VERIFY) + " " + arguments + " 2>&1");
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// One archive whose answers can be heard and one with a silent and a clipped answer, from a
// school whose name is markup, as a hostile sender would write it.
class VerifyLoudnessToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string tone =
            testing::SoxRecording("sine-35s", "-n", "synth 35 sine 1000 vol 0.1");
        for (int number = 1; number <= 2; ++number)
            heard.PutRecording(number, tone);
        heard.WriteReport({1, 2}, 2);
        heardZip = heard.Zip("a-heard.zip");

        muted.schoolName = "<script>alert(1)</script> & «Школа <b>»";
        muted.PutRecording(1, tone);
        muted.PutRecording(2, testing::SoxRecording("silence-35s", "-n", "trim 0 35"));
        muted.PutRecording(3,
                           testing::SoxRecording("clipped-35s", "-n", "synth 35 sine 100 gain 20"));
        muted.WriteReport({1, 2, 3}, 3);
        mutedZip = muted.Zip("b-muted.zip");
    }

    InterviewFixture heard{2};
    InterviewFixture muted{3};
    std::string heardZip;
    std::string mutedZip;
};

TEST_F(VerifyLoudnessToolTest, WarningsNameTheRecordingAndChangeTheStatusOnlyWhenStrict) {
    const std::string both = Quoted(heardZip) + " " + Quoted(mutedZip);
    const CommandResult plain = Verify(both);
    EXPECT_EQ(plain.exitCode, 0) << plain.output;
    EXPECT_EQ(plain.output.find("ПРЕДУПРЕЖДЕНИЕ"), std::string::npos);

    const CommandResult loud = Verify("--loudness --verbose " + both);
    EXPECT_EQ(loud.exitCode, 0) << loud.output;
    const std::string prefix = "ПРЕДУПРЕЖДЕНИЕ  " + mutedZip + ": ";
    EXPECT_NE(loud.output.find(prefix + "2.mp3: запись почти беззвучна (тишина 100% времени)\n"),
              std::string::npos)
        << loud.output;
    EXPECT_TRUE(std::regex_search(
        loud.output,
        std::regex(prefix + "3\\.mp3: перегрузка \\([0-9]+,[0-9]% отсчётов на пределе\\)\n")))
        << loud.output;
    EXPECT_EQ(Count(loud.output, "ПРЕДУПРЕЖДЕНИЕ"), 2u) << loud.output;
    EXPECT_TRUE(std::regex_search(
        loud.output, std::regex("1\\.mp3 .* 0:35  −23,[0-9] LUFS  диапазон 0,[0-9] LU  "
                                "пик −20,[0-9] dBFS  тишина [0-2]%  на пределе 0,0%")))
        << loud.output;
    EXPECT_NE(loud.output.find("Исправны: 2. С ошибками: 0. С предупреждениями: 1."),
              std::string::npos);

    EXPECT_EQ(Verify("--strict " + Quoted(heardZip)).exitCode, 0);
    EXPECT_EQ(Verify("--strict " + both).exitCode, 1);
}

TEST_F(VerifyLoudnessToolTest, JsonCarriesTheFiguresAndWarnings) {
    const CommandResult result = Verify("--json --loudness " + Quoted(mutedZip));
    EXPECT_EQ(result.exitCode, 0);
    const std::string script =
        "import json,sys\n"
        "v=json.loads(sys.stdin.read())\n"
        "tone,silent,clipped=[r['loudness'] for r in v['recordings']]\n"
        "assert abs(tone['integrated_lufs']+23)<0.5 and tone['clipped_samples']==0, tone\n"
        "assert abs(tone['sample_peak_dbfs']+20)<0.5 and tone['silent_share']<0.02, tone\n"
        "assert silent['integrated_lufs'] is None and (silent['sample_peak_dbfs'] or -99)<-80, "
        "silent\n"
        "assert silent['silent_share']==1, silent\n"
        "assert clipped['clipped_share']>0.001 and clipped['clipped_samples']>0, clipped\n"
        "assert [w['entry'] for w in v['warnings']]==['2.mp3','3.mp3'], v['warnings']\n"
        "assert v['ok'] is True\n"
        "print('shape ok')\n";
    const CommandResult shape = testing::RunCommand("printf '%s' " + Quoted(result.output) +
                                                    " | python3 -c " + Quoted(script) + " 2>&1");
    EXPECT_EQ(shape.output, "shape ok\n") << result.output;
}

// Debian's headless Chromium loads the page, renders it to a PNG and gives back its DOM.
TEST_F(VerifyLoudnessToolTest, ThePageOpensInABrowserWithARowAndAStripPerRecording) {
    ASSERT_EQ(testing::RunCommand("command -v chromium >/dev/null").exitCode, 0)
        << "chromium is needed to render the page: install the Debian package chromium";
    // A non-zip whose name is markup, beside the two archives.
    const std::string folder = heard.Scratch("incoming");
    fs::create_directory(folder);
    fs::copy_file(heardZip, folder + "/a-heard.zip");
    fs::copy_file(mutedZip, folder + "/b-muted.zip");
    testing::WriteFile(folder + "/c-<img src=x onerror=alert(2)>.zip", "no archive");
    const std::string page = heard.Scratch("report.html");
    const CommandResult run = Verify("--html " + Quoted(page) + " " + Quoted(folder));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    ASSERT_TRUE(fs::is_regular_file(page)) << run.output;

    const std::string profile = heard.Scratch("chromium-profile");
    const std::string png = heard.Scratch("report.png");
    const std::string browser =
        "chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
        "--disable-background-networking --disable-component-update --disable-sync "
        "--user-data-dir=" +
        Quoted(profile) + " --window-size=1400,1000 ";
    const CommandResult shot = testing::RunCommand(browser + "--screenshot=" + Quoted(png) + " " +
                                                   Quoted("file://" + page) + " 2>&1");
    ASSERT_EQ(shot.exitCode, 0) << shot.output;
    ASSERT_TRUE(fs::exists(png)) << shot.output;
    EXPECT_GT(fs::file_size(png), 10000u); // a blank page compresses to far less
    const CommandResult dom =
        testing::RunCommand(browser + "--dump-dom " + Quoted("file://" + page) + " 2>/dev/null");
    ASSERT_EQ(dom.exitCode, 0);
    const std::string& html = dom.output;
    EXPECT_EQ(Count(html, "<section class=\"archive"), 3u) << html;
    EXPECT_EQ(Count(html, "<tr class=\"recording\">"), 5u);
    EXPECT_EQ(Count(html, "<svg class=\"strip\""), 5u);
    EXPECT_EQ(Count(html, "<rect class=\"silent\""), 1u); // the silent answer, one stretch
    EXPECT_NE(html.find("Проверено архивов: 3. Исправны: 2. С ошибками: 1. С предупреждениями: 1."),
              std::string::npos);
    EXPECT_NE(html.find("запись почти беззвучна (тишина 100% времени)"), std::string::npos);
    // The senders' texts stay text: no element of theirs reaches the page.
    EXPECT_EQ(Count(html, "<script"), 0u);
    EXPECT_EQ(Count(html, "<img"), 0u);
    EXPECT_EQ(Count(html, "<b>"), 0u);
    EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt; &amp; «Школа &lt;b&gt;»"),
              std::string::npos);
}

TEST_F(VerifyLoudnessToolTest, APageIsNeverWrittenThroughALinkOrIntoAPipe) {
    const std::string target = heard.Scratch("precious.txt");
    testing::WriteFile(target, "keep");
    const std::string link = heard.Scratch("link.html");
    fs::create_symlink(target, link);
    const std::string pipe = heard.Scratch("pipe.html");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {link, pipe, heard.Scratch("no-such-folder/page.html")}) {
        const CommandResult result = Verify("--html " + Quoted(path) + " " + Quoted(heardZip));
        EXPECT_EQ(result.exitCode, 2) << path;
        EXPECT_NE(result.output.find("страница HTML не записана"), std::string::npos)
            << result.output;
    }
    EXPECT_EQ(testing::ReadFile(target), "keep");
    EXPECT_TRUE(fs::is_symlink(link));
    // Only what was there before: no half-written page left beside them.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(heard.Scratch("")))
        ++entries;
    EXPECT_EQ(entries, 5u); // the folder, the zip, precious.txt, the link, the pipe
}

} // namespace
} // namespace interview_check
