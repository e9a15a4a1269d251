// Drains the GUI hand-over queue from the Qt event loop.
#pragma once

namespace platform {

// Installs the pump for the running QApplication; call once on the GUI thread after creating it.
// The pump lives as long as the application object.
void InstallGuiHandoverPump();

} // namespace platform
