// For tests: a private home folder whose Desktop stands in for the user's real one. While the
// object lives, HOME and XDG_CONFIG_HOME point into a fresh temporary folder (without
// user-dirs.dirs), so the Desktop folder is <home>/Desktop; both variables and the folder are
// restored and removed afterwards.
#pragma once

#include "testsupport/ScopedEnvironmentVariable.h"
#include "testsupport/TemporaryFolder.h"

#include <string>

namespace testsupport {

class TemporaryDesktop {
public:
    const std::string& Home() const { return home_.Path(); }
    // Not created: the station creates what it needs.
    std::string Desktop() const { return home_ / "Desktop"; }

private:
    TemporaryFolder home_{"station-home"};
    ScopedEnvironmentVariable homeVariable_{"HOME", home_.Path()};
    ScopedEnvironmentVariable configVariable_{"XDG_CONFIG_HOME", home_ / ".config"};
};

} // namespace testsupport
