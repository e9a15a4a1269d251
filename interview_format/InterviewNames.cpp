#include "interview_format/InterviewNames.h"

#include <cstdint>

namespace interview_format {

std::optional<long long> ParticipantNumberOf(std::string_view name) {
    constexpr std::string_view Suffix = ".mp3";
    if (name.size() <= Suffix.size() || !name.ends_with(Suffix))
        return std::nullopt;
    const std::string_view digits = name.substr(0, name.size() - Suffix.size());
    if (digits.size() > 10 || digits[0] == '0')
        return std::nullopt;
    long long number = 0;
    for (const char digit : digits) {
        if (digit < '0' || digit > '9')
            return std::nullopt;
        number = number * 10 + (digit - '0');
    }
    // The next participant's number must still fit.
    if (number >= INT32_MAX)
        return std::nullopt;
    return number;
}

} // namespace interview_format
