#include "station/ExistingRecordings.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <stdexcept>

namespace {

// n for a name written as the station writes participant numbers: decimal, no leading zero, no
// sign, and small enough to be a participant number.
bool ParticipantNumber(const std::string& name, long long& number) {
    constexpr std::string_view Suffix = ".mp3";
    if (name.size() <= Suffix.size() || !name.ends_with(Suffix))
        return false;
    const std::string digits = name.substr(0, name.size() - Suffix.size());
    if (digits.size() > 10 || digits[0] == '0')
        return false;
    number = 0;
    for (const char digit : digits) {
        if (digit < '0' || digit > '9')
            return false;
        number = number * 10 + (digit - '0');
    }
    // The next participant's number must still fit.
    return number < INT32_MAX;
}

} // namespace

std::vector<long long> ExistingRecordingNumbers(const std::string& interviewFolder) {
    std::vector<long long> numbers;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(interviewFolder, error), end;
         !error && entry != end; entry.increment(error)) {
        long long number = 0;
        if (ParticipantNumber(entry->path().filename().string(), number))
            numbers.push_back(number);
    }
    // Not knowing what is there could mean recording over it.
    if (error)
        throw std::runtime_error("Не удалось прочитать папку собеседования " + interviewFolder +
                                 ": " + error.message());
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}
