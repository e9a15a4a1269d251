#include "controls/Events.h"

#include "platform/GuiHandler.h"

namespace controls {

void RaiseEvent(const NotifyEvent& handler, QObject* sender) {
    if (handler)
        platform::RunGuiHandler([&] { handler(sender); });
}

} // namespace controls
