// The options the station answers without a display, before its window opens: its version, a short
// help in Russian, and a check that the libraries it loads at run time are in place.
#pragma once

#include <iosfwd>
#include <optional>

namespace station {

// Answers --version, --help (-h) or --check when one is given and returns the program's exit
// status; returns nothing when the station is to start as usual. Other arguments are left to the
// GUI toolkit.
std::optional<int> AnswerCommandLine(int argc, const char* const* argv, std::ostream& out);

} // namespace station
