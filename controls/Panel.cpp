#include "controls/Panel.h"

#include "controls/Accessibility.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace controls {

Panel::Panel(QWidget* parent, int height) : QFrame(parent) {
    if (height > 0)
        setFixedHeight(height);
    else
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAutoFillBackground(true);
    InstallPanelAccessibility();
}

void Panel::SetText(const QString& text) {
    if (text == caption_)
        return;
    caption_ = text;
    update();
    // The caption is only painted: without the event a screen reader would never learn of it.
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void Panel::SetColor(const QColor& color) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, color);
    setPalette(colours);
}

void Panel::SetBevel(bool bevel) {
    bevel_ = bevel;
    update();
}

QWidget* Panel::AddContentBlock(int height) {
    if (!blocks_) {
        blocks_ = new QVBoxLayout(this);
        blocks_->setContentsMargins(0, 0, 0, 0);
        blocks_->setSpacing(0);
        blocks_->addStretch();
    }
    auto* block = new QWidget(this);
    block->setFixedSize(ContentBlockWidth, height);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    row->addWidget(block);
    row->addStretch();
    blocks_->insertLayout(blocks_->count() - 1, row);
    return block;
}

void Panel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    if (bevel_) {
        // A flat edge: a light top line and a soft shadow line at the bottom.
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(0, 0, width() - 1, 0);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(0, height() - 1, width() - 1, height() - 1);
    }
    if (!caption_.isEmpty()) {
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       QPalette::WindowText));
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, caption_);
    }
}

} // namespace controls
