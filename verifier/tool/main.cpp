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
    if (target.unreadable.empty())
        return CheckArchive(target.path, options);
    ArchiveVerdict verdict;
    verdict.archive = target.path;
    verdict.readable = false;
    verdict.problems.push_back({"", target.unreadable});
    return verdict;
}

void Print(const ArchiveVerdict& verdict, const Options& options) {
    const std::string text = options.json ? VerdictJson(verdict, options.loudness) + "\n"
                                          : VerdictLine(verdict) + "\n" +
                                                (options.verbose ? RecordingLines(verdict) : "") +
                                                WarningLines(verdict);
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

int Run(const Options& options, unsigned cores) {
    const std::vector<Target> targets = CollectTargets(options.paths);
    if (targets.empty()) {
        std::fputs("interview-verify: не найдено ни одного архива .zip\n", stderr);
        return SomeUnreadable;
    }
    CheckOptions checkOptions;
    checkOptions.decodeAudio = options.decodeAudio;
    checkOptions.measureLoudness = options.loudness;
    // Opened before the check, so a page that cannot be written is known before the hours of it.
    std::unique_ptr<HtmlReport> page;
    if (!options.htmlPath.empty())
        page = std::make_unique<HtmlReport>(options.htmlPath);
    std::vector<ArchiveVerdict> verdicts(targets.size());
    ProgressLine progress(targets.size());
    std::size_t finished = 0;
    Tally tally;
    RunOrdered(
        targets.size(), options.jobs ? options.jobs : cores,
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
    if (!options.json)
        std::printf("%s\n", SummaryLine(tally).c_str());
    if (page)
        page->Finish(tally);
    return tally.unreadable                 ? SomeUnreadable
           : tally.faulty                   ? SomeFaulty
           : options.strict && tally.warned ? SomeFaulty
                                            : AllSound;
}

} // namespace

int main(int argc, char** argv) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    try {
        const Options options = ParseCommandLine(argc, argv);
        if (options.help) {
            std::fputs(UsageText(cores).c_str(), stdout);
            return AllSound;
        }
        if (options.version) {
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
