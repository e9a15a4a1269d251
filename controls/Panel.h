// Panels: a strip across the page with an optional centred caption, holding content blocks of a
// fixed width that stay horizontally centred when the window is resized.
#pragma once

#include <QColor>
#include <QFrame>

class QVBoxLayout;

namespace controls {

constexpr int ContentBlockWidth = 913;

class Panel : public QFrame {
public:
    // `height` 0 lets the panel take the room its container leaves.
    explicit Panel(QWidget* parent, int height = 0);

    // The caption drawn centred on the panel. Assistive technology reads it as the panel's text,
    // and a changed caption is announced to it.
    void SetText(const QString& text);
    QString Text() const { return caption_; }

    // A panel whose caption reports the state of the work (the exam page's banner): assistive
    // technology sees it as a status line, so that its changes are read out as they come.
    void SetStatus(bool status) { status_ = status; }
    bool IsStatus() const { return status_; }

    void SetColor(const QColor& color);
    // A raised edge, as most panels have; strips and holders of blocks go without.
    void SetBevel(bool bevel);

    // Adds a content block of the standard width and the given height, centred horizontally, below
    // the blocks added before. Controls are placed on it at absolute positions.
    QWidget* AddContentBlock(int height);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    QVBoxLayout* blocks_ = nullptr;
    bool bevel_ = true;
    bool status_ = false;
};

} // namespace controls
