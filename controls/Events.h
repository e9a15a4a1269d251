// Handlers of control events: methods taking only the sending control, run under the application's
// failure rule (an exception is shown in a message box and the program goes on).
#pragma once

#include <QObject>
#include <functional>

namespace controls {

using TNotifyEvent = std::function<void(QObject* Sender)>;

// Calls `handler` (if set) with `sender`, under the failure rule.
void RaiseEvent(const TNotifyEvent& handler, QObject* sender);

} // namespace controls
