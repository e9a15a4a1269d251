// The current user's Desktop folder, where interviews and their archives go.
#pragma once

#include <string>

namespace platform {

// The folder's full path without a trailing "/", as the desktop session names it (the XDG
// Desktop folder: XDG_CONFIG_HOME/user-dirs.dirs, otherwise $HOME/Desktop); the folder may not
// exist yet. Raises Failure when no such folder can be determined. Implemented by the
// GUI backend (platform_qt). Tests point it elsewhere by setting HOME and XDG_CONFIG_HOME.
std::string DesktopFolder();

} // namespace platform
