#include "controls/ToggleButton.h"

#include "controls/Accessibility.h"
#include "controls/ButtonPicture.h"

namespace controls {

void ToggleGroup::RaiseOthers(const ToggleButton* lowered) {
    for (ToggleButton* button : buttons_)
        if (button != lowered)
            button->SetDown(false);
}

ToggleButton::ToggleButton(QWidget* parent, const QRect& bounds, ToggleGroup* group,
                           const ImageList* images, int imageIndex)
    : QToolButton(parent), group_(group), images_(images) {
    setGeometry(bounds);
    setCheckable(true);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setFocusPolicy(Qt::StrongFocus);
    InstallToggleButtonAccessibility();
    SetImageIndex(imageIndex);
    if (group_)
        group_->Add(this);
    connect(this, &QToolButton::clicked, this, [this] {
        if (Down() && group_)
            group_->RaiseOthers(this);
        RaiseEvent(onClick, this);
    });
}

void ToggleButton::keyPressEvent(QKeyEvent* event) {
    if (!ClickOnActivationKey(*this, *event))
        QToolButton::keyPressEvent(event);
}

void ToggleButton::SetImageIndex(int index) {
    imageIndex_ = index;
    ShowListPicture(*this, images_, index);
}

} // namespace controls
