// The receiver's reading of names found in an archive; the names an interview gives its folder,
// report and recordings are the interview format's (interview_format/InterviewNames.h).
#pragma once

#include <string_view>

namespace interview_check {

// Whether `name` ends in `extension` (given in lower case, with its dot), letters in any case.
bool HasExtension(std::string_view name, std::string_view extension);

} // namespace interview_check
