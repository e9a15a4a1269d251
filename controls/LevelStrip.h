// A strip of level bars, oldest on the left, one per entry, over a fixed number of slots; a bar at
// or below the silent level is marked as silence over the strip's whole height.
#pragma once

#include <QWidget>

#include <deque>

namespace controls {

class LevelStrip : public QWidget {
public:
    LevelStrip(QWidget* parent, const QRect& bounds, int slotCount, int silentLevel);

    // Levels of 0 to 100; the newest is drawn at the right end. Repaints once.
    void SetBars(const std::deque<int>& bars);
    const std::deque<int>& Bars() const { return bars_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::deque<int> bars_;
    int slots_;
    int silentLevel_;
};

} // namespace controls
