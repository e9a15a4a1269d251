// A push button with a picture from an image list and a caption. A button with a picture alone
// gets its spoken name and tooltip from SetAccessibleCaption (controls/Accessibility.h).
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

    // Runs on every click, under the application's failure rule. Space, Enter and Return on the
    // focused button click it too.
    NotifyEvent onClick;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    const ImageList* images_;
    int imageIndex_ = -1;
};

} // namespace controls
