// A level meter: a bar without text whose position stays within its range.
#pragma once

#include <QProgressBar>

namespace controls {

class ProgressBar : public QProgressBar {
public:
    ProgressBar(QWidget* parent, const QRect& bounds, int minimum = 0, int maximum = 100);

    int Position() const { return value(); }
    // A position outside the range shows as the nearer end of the range.
    void SetPosition(long long position);
};

} // namespace controls
