// Interview folders that an earlier day left without their archive. A station that crashed or was
// switched off before the close, and was started again after midnight, opens a new folder for the
// new day; the earlier recordings would stay unpacked without a word.
#pragma once

#include "platform/DateTime.h"

#include <string>
#include <vector>

namespace station {

struct UnfinishedInterview {
    std::string folder;       // full path
    platform::DateTime day{}; // the day its name carries
};

// The folders on `desktop` named for `schoolCode6` and `room3` on a day before `today` that hold
// recordings, and beside which there is no archive that the receiver's check accepts with all of
// them; earliest first. Links and odd files are passed over; a Desktop that cannot be read has
// none.
std::vector<UnfinishedInterview> FindUnfinishedInterviews(const std::string& desktop,
                                                          const std::string& schoolCode6,
                                                          const std::string& room3,
                                                          platform::DateTime today);

} // namespace station
