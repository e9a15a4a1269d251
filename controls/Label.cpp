#include "controls/Label.h"

#include <QFontMetrics>
#include <algorithm>

namespace controls {

Label::Label(QWidget* parent, int x, int y, const QString& text, const QFont& font, int width)
    : QLabel(text, parent) {
    setFont(font);
    setTextFormat(Qt::PlainText);
    const int available = parent ? parent->width() - x : 0;
    const int height = QFontMetrics(font).height() + 2;
    setGeometry(x, y, width > 0 ? width : std::max(available, 1), height);
}

} // namespace controls
