#include "controls/PictureButton.h"

#include "controls/Accessibility.h"
#include "controls/ImageList.h"

#include <QKeyEvent>

namespace controls {

PictureButton::PictureButton(QWidget* parent, const QRect& bounds, const QString& caption,
                             const ImageList* images, int imageIndex, const QFont& font)
    : QPushButton(caption, parent), images_(images) {
    setGeometry(bounds);
    setFont(font);
    setFocusPolicy(Qt::StrongFocus);
    SetImageIndex(imageIndex);
    connect(this, &QPushButton::clicked, this, [this] { RaiseEvent(onClick, this); });
}

void PictureButton::keyPressEvent(QKeyEvent* event) {
    if (IsActivationKey(*event))
        click();
    else
        QPushButton::keyPressEvent(event);
}

void PictureButton::SetImageIndex(int index) {
    imageIndex_ = index;
    if (images_) {
        setIcon(images_->Icon(index));
        setIconSize(QSize(images_->Size(), images_->Size()));
    }
}

} // namespace controls
