#include "controls/LevelStrip.h"

#include <QPainter>

#include <algorithm>

namespace controls {
LevelStrip::LevelStrip(QWidget* parent, const QRect& bounds, int slotCount, int silentLevel)
    : QWidget(parent), slots_(std::max(slotCount, 1)), silentLevel_(silentLevel) {
    setGeometry(bounds);
}

void LevelStrip::SetBars(const std::deque<int>& bars) {
    bars_ = bars;
    update();
}

void LevelStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, QColor(0xf4, 0xf4, 0xf4));
    painter.setPen(QColor(0xc8, 0xc8, 0xc8));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    const double slotWidth = static_cast<double>(area.width() - 2) / slots_;
    const int first = slots_ - static_cast<int>(std::min<std::size_t>(bars_.size(), slots_));
    const std::size_t skipped = bars_.size() - static_cast<std::size_t>(slots_ - first);
    const int height = area.height() - 2;
    for (int slot = first; slot < slots_; ++slot) {
        const int level =
            std::clamp(bars_[skipped + static_cast<std::size_t>(slot - first)], 0, 100);
        const int left = 1 + static_cast<int>(slot * slotWidth);
        const int right = 1 + static_cast<int>((slot + 1) * slotWidth);
        // A pixel between bars where there is room for one.
        const int width = std::max(1, right - left - (slotWidth > 2 ? 1 : 0));
        if (level <= silentLevel_) {
            painter.fillRect(QRect(left, 1, width, height), QColor(0xf4, 0xb4, 0xb4));
            continue;
        }
        const int barHeight = std::max(1, level * height / 100);
        painter.fillRect(QRect(left, 1 + height - barHeight, width, barHeight),
                         QColor(0x3a, 0x6e, 0xa5));
    }
}

} // namespace controls
