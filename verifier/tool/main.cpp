// interview-verify: the receiving side's check of the interview archives that stations send.
#include "verifier/ArchiveCheck.h"
#include "verifier/tool/ArchiveList.h"
#include "verifier/tool/CommandLine.h"
#include "verifier/tool/HtmlReport.h"
#include "verifier/tool/LoudnessText.h"
#include "verifier/tool/OrderedJobs.h"
#include "verifier/tool/ProgressLine.h"
#include "verifier/tool/VerdictJson.h"
#include "verifier/tool/VerdictText.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <thread>

using namespace interview_check;
using namespace interview_check::tool;

namespace {

constexpr int AllSound = 0;
constexpr int SomeFaulty = 1;
constexpr int SomeUnreadable = 2;

ArchiveVerdict VerdictFor(const Target& target, const CheckOptions& options) {
    if (target.Unreadable.empty())
        return CheckArchive(target.Path, options);
    ArchiveVerdict verdict;
    verdict.Archive = target.Path;
    verdict.Readable = false;
    verdict.Problems.push_back({"", target.Unreadable});
    return verdict;
}

void Print(const ArchiveVerdict& verdict, const Options& options) {
    const std::string text = options.Json ? VerdictJson(verdict, options.Loudness) + "\n"
                                          : VerdictLine(verdict) + "\n" +
                                                (options.Verbose ? RecordingLines(verdict) : "") +
                                                WarningLines(verdict);
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

int Run(const Options& options, unsigned cores) {
    const std::vector<Target> targets = CollectTargets(options.Paths);
    if (targets.empty()) {
        std::fputs("interview-verify: не найдено ни одного архива .zip\n", stderr);
        return SomeUnreadable;
    }
    CheckOptions checkOptions;
    checkOptions.DecodeAudio = options.DecodeAudio;
    checkOptions.MeasureLoudness = options.Loudness;
    // Opened before the check, so a page that cannot be written is known before the hours of it.
    std::unique_ptr<HtmlReport> page;
    if (!options.HtmlPath.empty())
        page = std::make_unique<HtmlReport>(options.HtmlPath);
    std::vector<ArchiveVerdict> verdicts(targets.size());
    ProgressLine progress(targets.size());
    std::size_t finished = 0;
    Tally tally;
    RunOrdered(
        targets.size(), options.Jobs ? options.Jobs : cores,
        [&](std::size_t i) { verdicts[i] = VerdictFor(targets[i], checkOptions); },
        [&](std::size_t i) {
            progress.Clear();
            Print(verdicts[i], options);
            if (page)
                page->Add(verdicts[i]);
            tally.Count(verdicts[i]);
            verdicts[i] = ArchiveVerdict{}; // hundreds of archives need not stay in memory
            progress.Show(finished);
        },
        [&](std::size_t done) {
            finished = done;
            progress.Show(done);
        });
    progress.Clear();
    if (!options.Json)
        std::printf("%s\n", SummaryLine(tally).c_str());
    if (page)
        page->Finish(tally);
    return tally.Unreadable                 ? SomeUnreadable
           : tally.Faulty                   ? SomeFaulty
           : options.Strict && tally.Warned ? SomeFaulty
                                            : AllSound;
}

} // namespace

int main(int argc, char** argv) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    try {
        const Options options = ParseCommandLine(argc, argv);
        if (options.Help) {
            std::fputs(UsageText(cores).c_str(), stdout);
            return AllSound;
        }
        if (options.Version) {
            std::fputs(VersionText().c_str(), stdout);
            return AllSound;
        }
        return Run(options, cores);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "interview-verify: %s\nСправка: interview-verify --help\n",
                     error.what());
        return SomeUnreadable;
    } catch (const OutputError& error) {
        std::fprintf(stderr, "interview-verify: страница HTML не записана: %s\n", error.what());
        return SomeUnreadable;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "interview-verify: проверка прервана: %s\n", error.what());
        return SomeUnreadable;
    }
}
