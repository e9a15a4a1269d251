#include "verifier/tool/VerdictText.h"

#include "verifier/ReadBack.h"
#include "verifier/tool/LoudnessText.h"
#include "verifier/tool/TerminalText.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

namespace interview_check::tool {
namespace {

std::string ProblemText(const Problem& problem) {
    return problem.Entry.empty() ? problem.Reason : problem.Entry + ": " + problem.Reason;
}

} // namespace

std::string DurationText(double seconds) {
    const auto total = static_cast<long long>(std::llround(std::max(seconds, 0.0)));
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                      total % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
    return text;
}

std::string VerdictLine(const ArchiveVerdict& verdict) {
    if (verdict.Sound()) {
        const std::size_t notStarted = verdict.Recordings.size() - verdict.RecordingsHeld();
        return "OK      " + TerminalSafe(verdict.Archive) + "  (" +
               RecordingCountText(verdict.RecordingsHeld()) + ", " +
               DurationText(verdict.Seconds()) +
               (notStarted ? ", не состоялись: " + std::to_string(notStarted) : std::string()) +
               ")";
    }
    std::string line = "ОШИБКА  " + TerminalSafe(verdict.Archive) + ": ";
    for (std::size_t i = 0; i < verdict.Problems.size(); ++i)
        line += (i ? "; " : "") + TerminalSafe(ProblemText(verdict.Problems[i]));
    return line;
}

std::string RecordingLines(const ArchiveVerdict& verdict) {
    std::string lines;
    for (const RecordingVerdict& recording : verdict.Recordings) {
        char facts[96];
        std::snprintf(facts, sizeof facts, "%" PRId64 " байт  CRC %08" PRIX32, recording.Size,
                      recording.Crc32);
        lines += "        " + TerminalSafe(recording.Name) + "  " + facts + "  " +
                 (recording.NotStarted ? "запись не состоялась"
                  : recording.Sound    ? DurationText(recording.Mp3.Seconds)
                                       : "ОШИБКА") +
                 (recording.Loudness ? "  " + LoudnessFigures(*recording.Loudness) : "") + "\n";
    }
    return lines;
}

void Tally::Count(const ArchiveVerdict& verdict) {
    if (!verdict.Readable)
        ++Unreadable;
    else if (verdict.Sound())
        ++Sound;
    else
        ++Faulty;
    if (!verdict.Warnings.empty())
        ++Warned;
}

std::string SummaryLine(const Tally& tally) {
    std::string line = "Проверено архивов: " + std::to_string(tally.Sound + tally.Faulty) +
                       ". Исправны: " + std::to_string(tally.Sound) +
                       ". С ошибками: " + std::to_string(tally.Faulty) + ".";
    if (tally.Warned)
        line += " С предупреждениями: " + std::to_string(tally.Warned) + ".";
    if (tally.Unreadable)
        line += " Не прочитаны: " + std::to_string(tally.Unreadable) + ".";
    return line;
}

} // namespace interview_check::tool
