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
    return problem.entry.empty() ? problem.reason : problem.entry + ": " + problem.reason;
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
        const std::size_t notStarted = verdict.recordings.size() - verdict.RecordingsHeld();
        return "OK      " + TerminalSafe(verdict.archive) + "  (" +
               RecordingCountText(verdict.RecordingsHeld()) + ", " +
               DurationText(verdict.Seconds()) +
               (notStarted ? ", не состоялись: " + std::to_string(notStarted) : std::string()) +
               ")";
    }
    std::string line = "ОШИБКА  " + TerminalSafe(verdict.archive) + ": ";
    for (std::size_t i = 0; i < verdict.problems.size(); ++i)
        line += (i ? "; " : "") + TerminalSafe(ProblemText(verdict.problems[i]));
    return line;
}

std::string RecordingLines(const ArchiveVerdict& verdict) {
    std::string lines;
    for (const RecordingVerdict& recording : verdict.recordings) {
        char facts[96];
        std::snprintf(facts, sizeof facts, "%" PRId64 " байт  CRC %08" PRIX32, recording.size,
                      recording.crc32);
        lines += "        " + TerminalSafe(recording.name) + "  " + facts + "  " +
                 (recording.notStarted ? "запись не состоялась"
                  : recording.sound    ? DurationText(recording.mp3.seconds)
                                       : "ОШИБКА") +
                 (recording.loudness ? "  " + LoudnessFigures(*recording.loudness) : "") + "\n";
    }
    return lines;
}

void Tally::Count(const ArchiveVerdict& verdict) {
    if (!verdict.readable)
        ++unreadable;
    else if (verdict.Sound())
        ++sound;
    else
        ++faulty;
    if (!verdict.warnings.empty())
        ++warned;
}

std::string SummaryLine(const Tally& tally) {
    std::string line = "Проверено архивов: " + std::to_string(tally.sound + tally.faulty) +
                       ". Исправны: " + std::to_string(tally.sound) +
                       ". С ошибками: " + std::to_string(tally.faulty) + ".";
    if (tally.warned)
        line += " С предупреждениями: " + std::to_string(tally.warned) + ".";
    if (tally.unreadable)
        line += " Не прочитаны: " + std::to_string(tally.unreadable) + ".";
    return line;
}

} // namespace interview_check::tool
