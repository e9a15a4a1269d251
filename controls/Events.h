// Handlers of control events: methods taking only the sending control, run under the application's
// failure rule (an exception is shown in a message box and the program goes on).
#pragma once

#include <QObject>
#include <functional>

namespace controls {

using NotifyEvent = std::function<void(QObject* sender)>;

// Calls `handler` (if set) with `sender`, under the failure rule.
void RaiseEvent(const NotifyEvent& handler, QObject* sender);

} // namespace controls
