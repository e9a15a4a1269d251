#include "station/TimerText.h"

#include "platform/DateTime.h"

std::string TimerText(TDateTime Elapsed) {
    const platform::DateTimeParts parts = platform::DecodeDateTime(Elapsed);
    return std::to_string(parts.minute) + " мин. " + std::to_string(parts.second) + " сек.";
}

TDateTime AddOneSecond(TDateTime Elapsed) {
    return (Elapsed * 86400 + 1) / 86400;
}
