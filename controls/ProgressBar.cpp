#include "controls/ProgressBar.h"

#include <algorithm>

namespace controls {

ProgressBar::ProgressBar(QWidget* parent, const QRect& bounds, int minimum, int maximum)
    : QProgressBar(parent) {
    setGeometry(bounds);
    setRange(minimum, maximum);
    setValue(minimum);
    setTextVisible(false);
}

void ProgressBar::SetPosition(long long position) {
    setValue(static_cast<int>(std::clamp<long long>(position, minimum(), maximum())));
}

} // namespace controls
