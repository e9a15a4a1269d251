#include "station/TimerText.h"

#include "platform/DateTime.h"
#include "station/OperatorTexts.h"

namespace station {

std::string TimerText(platform::DateTime elapsed) {
    const platform::DateTimeParts parts = platform::DecodeDateTime(elapsed);
    return MinutesSecondsText(parts.minute, parts.second);
}

platform::DateTime AddOneSecond(platform::DateTime elapsed) {
    return (elapsed * 86400 + 1) / 86400;
}

} // namespace station
