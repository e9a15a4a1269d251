// Labels placed at absolute positions on a content block.
#pragma once

#include <QLabel>

namespace controls {

class Label : public QLabel {
public:
    // A label whose top-left corner is at (x, y). It is as wide as `width`, or reaches to the right
    // edge of its parent when `width` is 0, so that texts set later are shown whole.
    Label(QWidget* parent, int x, int y, const QString& text, const QFont& font, int width = 0);
};

} // namespace controls
