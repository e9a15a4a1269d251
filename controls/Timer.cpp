#include "controls/Timer.h"

namespace controls {

Timer::Timer(QObject* parent, int intervalMilliseconds) : QTimer(parent) {
    setInterval(intervalMilliseconds);
    connect(this, &QTimer::timeout, this, [this] { RaiseEvent(onTimer, this); });
}

void Timer::SetEnabled(bool enabled) {
    // Enabling a running timer keeps its rhythm, as stopping and starting it would not.
    if (enabled && !isActive())
        start();
    else if (!enabled)
        stop();
}

} // namespace controls
