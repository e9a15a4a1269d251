#include "controls/PictureButton.h"

#include "controls/ButtonPicture.h"

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
    if (!ClickOnActivationKey(*this, *event))
        QPushButton::keyPressEvent(event);
}

void PictureButton::SetImageIndex(int index) {
    imageIndex_ = index;
    ShowListPicture(*this, images_, index);
}

} // namespace controls
