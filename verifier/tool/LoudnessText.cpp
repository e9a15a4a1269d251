#include "verifier/tool/LoudnessText.h"

#include "verifier/LoudnessWarnings.h"
#include "verifier/tool/TerminalText.h"

namespace interview_check::tool {
namespace {

std::string Percent(double share, int decimals) {
    return DecimalText(share * 100, decimals) + "%";
}

} // namespace

std::string DecibelText(std::optional<double> value, const char* absent) {
    return value ? DecimalText(*value, 1) : absent;
}

std::string LoudnessFigures(const LoudnessFacts& facts) {
    const std::string integrated =
        facts.integratedLufs ? DecimalText(*facts.integratedLufs, 1) + " LUFS" : "тишина";
    return integrated + "  диапазон " + DecimalText(facts.rangeLu, 1) + " LU  пик " +
           DecibelText(facts.samplePeakDbfs, "−∞") + " dBFS  тишина " +
           Percent(facts.SilentShare(), 0) + "  на пределе " + Percent(facts.ClippedShare(), 1);
}

std::string WarningLines(const ArchiveVerdict& verdict) {
    std::string lines;
    for (const Problem& warning : verdict.warnings)
        lines += "ПРЕДУПРЕЖДЕНИЕ  " + TerminalSafe(verdict.archive) + ": " +
                 TerminalSafe(warning.entry) + ": " + TerminalSafe(warning.reason) + "\n";
    return lines;
}

} // namespace interview_check::tool
