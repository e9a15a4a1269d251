// Shows the message boxes of platform/MessageBox.h as Qt dialogs.
#pragma once

namespace platform {

// Installs the Qt presenter; call once on the GUI thread after creating the application.
void InstallQtMessageBoxes();

} // namespace platform
