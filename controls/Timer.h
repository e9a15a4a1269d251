// A timer that raises onTimer on the GUI thread at its interval while enabled.
#pragma once

#include "controls/Events.h"

#include <QTimer>

namespace controls {

class Timer : public QTimer {
public:
    Timer(QObject* parent, int intervalMilliseconds);

    bool Enabled() const { return isActive(); }
    void SetEnabled(bool enabled);

    NotifyEvent onTimer;
};

} // namespace controls
