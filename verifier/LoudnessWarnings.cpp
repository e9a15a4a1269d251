#include "verifier/LoudnessWarnings.h"

#include <cmath>
#include <cstdio>

namespace interview_check {

std::string DecimalText(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, std::fabs(value));
    std::string result = text;
    if (const auto point = result.find('.'); point != std::string::npos)
        result[point] = ',';
    return value < 0 && result.find_first_not_of("0,") != std::string::npos ? "−" + result : result;
}

std::vector<std::string> LoudnessWarnings(const LoudnessFacts& facts) {
    std::vector<std::string> reasons;
    const double silent = facts.SilentShare();
    if (silent >= SilentShareLimit)
        reasons.push_back("запись почти беззвучна (тишина " +
                          std::to_string(static_cast<int>(std::floor(silent * 100))) +
                          "% времени)");
    const double clipped = facts.ClippedShare();
    if (clipped >= ClippedShareLimit)
        reasons.push_back("перегрузка (" + DecimalText(clipped * 100, 1) +
                          "% отсчётов на пределе)");
    if (facts.seconds < MinimumAnswerSeconds)
        reasons.push_back("запись короче " +
                          std::to_string(static_cast<int>(MinimumAnswerSeconds)) + " с");
    return reasons;
}

} // namespace interview_check
