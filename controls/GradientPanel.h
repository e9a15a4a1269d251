// A panel filled with a horizontal gradient, for the banner.
#pragma once

#include <QColor>
#include <QWidget>

namespace controls {

class GradientPanel : public QWidget {
public:
    GradientPanel(QWidget* parent, int height, const QColor& left, const QColor& right);

    QColor LeftColor() const { return left_; }
    QColor RightColor() const { return right_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor left_;
    QColor right_;
};

} // namespace controls
