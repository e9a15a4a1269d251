// Picture buttons that stay down once clicked and belong to a group: lowering one raises the others
// of its group; a lowered button is raised by a click on it, so all may be up at once.
#pragma once

#include "controls/Events.h"

#include <QToolButton>
#include <vector>

namespace controls {

class ImageList;
class ToggleButton;

class ToggleGroup : public QObject {
public:
    explicit ToggleGroup(QObject* parent) : QObject(parent) {}
    void Add(ToggleButton* button) { buttons_.push_back(button); }
    // Raises every button of the group except `lowered`.
    void RaiseOthers(const ToggleButton* lowered);

private:
    std::vector<ToggleButton*> buttons_;
};

class ToggleButton : public QToolButton {
public:
    ToggleButton(QWidget* parent, const QRect& bounds, ToggleGroup* group, const ImageList* images,
                 int imageIndex);

    bool Down() const { return isChecked(); }
    // Sets the state without raising onClick.
    void SetDown(bool down) { setChecked(down); }

    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);

    // Runs after each click, which has already changed Down. Space, Enter and Return on the
    // focused button and the toggle action of assistive technology click it too.
    NotifyEvent onClick;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ToggleGroup* group_;
    const ImageList* images_;
    int imageIndex_ = -1;
};

} // namespace controls
