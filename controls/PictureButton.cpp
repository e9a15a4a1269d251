#include "controls/PictureButton.h"

#include "controls/ImageList.h"

namespace controls {

PictureButton::PictureButton(QWidget* parent, const QRect& bounds, const QString& caption,
                             const ImageList* images, int imageIndex, const QFont& font)
    : QPushButton(caption, parent), images_(images) {
    setGeometry(bounds);
    setFont(font);
    SetImageIndex(imageIndex);
    connect(this, &QPushButton::clicked, this, [this] { RaiseEvent(onClick, this); });
}

void PictureButton::SetImageIndex(int index) {
    imageIndex_ = index;
    if (images_) {
        setIcon(images_->Icon(index));
        setIconSize(QSize(images_->Size(), images_->Size()));
    }
}

} // namespace controls
