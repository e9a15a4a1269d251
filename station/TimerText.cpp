#include "station/TimerText.h"

#include "platform/DateTime.h"

std::string TimerText(platform::DateTime elapsed) {
    const platform::DateTimeParts parts = platform::DecodeDateTime(elapsed);
    return std::to_string(parts.minute) + " мин. " + std::to_string(parts.second) + " сек.";
}

platform::DateTime AddOneSecond(platform::DateTime elapsed) {
    return (elapsed * 86400 + 1) / 86400;
}
