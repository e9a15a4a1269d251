// The Desktop folder, where interview folders and archives go.
#pragma once

#include <string>

// The current user's Desktop folder, without a trailing "/". Raises std::runtime_error when it
// cannot be determined. Tests redirect it by setting HOME and XDG_CONFIG_HOME.
std::string GetDesktopPath();
