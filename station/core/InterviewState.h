// What one interview knows: its parameters, where its files go and who is being recorded. The
// interview core owns it; views read it through the core's notifications.
#pragma once

#include "platform/DateTime.h"
#include "station/Report.h"

#include <cstdint>
#include <string>

namespace station {

struct InterviewState {
    std::string region;              // city or district as typed
    std::string schoolName;          // as typed
    std::string schoolCode;          // as typed
    std::string schoolCode6;         // school code padded with "0" to 6 characters
    std::string room;                // room number as typed
    std::string room3;               // room number padded with "0" to 3 characters
    std::int32_t participant = 0;    // 1 from the first save of the parameters
    std::string folder;              // the interview folder, full path, no trailing "/"
    platform::DateTime examDate = 0; // the day the parameters were saved
};

// The interview as its report's header names it.
inline ReportHeading ReportHeadingOf(const InterviewState& state) {
    return {.examDate = state.examDate,
            .region = state.region,
            .schoolCode6 = state.schoolCode6,
            .schoolName = state.schoolName,
            .room3 = state.room3};
}

} // namespace station
