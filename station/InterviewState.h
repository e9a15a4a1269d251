// What one interview knows: its parameters, where its files go, who is being recorded and the
// report built so far. The main window holds it; the pages and the report routines read and write
// it.
#pragma once

#include "platform/DateTime.h"

#include <cstdint>
#include <string>
#include <vector>

using TDateTime = platform::DateTime;

struct TInterviewState {
    std::string KodOU6; // school code padded with "0" to 6 characters
    std::string KodOU;  // school code as typed
    std::string Aud3;   // room number padded with "0" to 3 characters
    std::string Aud;    // room number as typed
    std::string Region;
    std::string NameOU;
    std::int32_t MemberNo = 0;
    std::string InterviewDir; // full path, no trailing "/"
    TDateTime ExamDate = 0;   // the day the parameters were saved
    std::vector<std::string> ReportLines;
};
