// A push button with a picture from an image list and a caption.
#pragma once

#include "controls/Events.h"

#include <QPushButton>

namespace controls {

class ImageList;

class PictureButton : public QPushButton {
public:
    PictureButton(QWidget* parent, const QRect& bounds, const QString& caption,
                  const ImageList* images, int imageIndex, const QFont& font);

    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);

    // Runs on every click, under the application's failure rule.
    NotifyEvent onClick;

private:
    const ImageList* images_;
    int imageIndex_ = -1;
};

} // namespace controls
