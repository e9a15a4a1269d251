#include "controls/GradientPanel.h"

#include <QLinearGradient>
#include <QPainter>

namespace controls {

GradientPanel::GradientPanel(QWidget* parent, int height, const QColor& left, const QColor& right)
    : QWidget(parent), left_(left), right_(right) {
    setFixedHeight(height);
}

void GradientPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient gradient(0, 0, width(), 0);
    gradient.setColorAt(0, left_);
    gradient.setColorAt(1, right_);
    painter.fillRect(rect(), gradient);
}

} // namespace controls
