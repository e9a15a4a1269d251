#include "controls/ButtonPicture.h"

#include "controls/Accessibility.h"
#include "controls/ImageList.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace controls {

void ShowListPicture(QAbstractButton& button, const ImageList* images, int index) {
    if (!images)
        return;
    button.setIcon(images->Icon(index));
    button.setIconSize(QSize(images->Size(), images->Size()));
}

bool ClickOnActivationKey(QAbstractButton& button, const QKeyEvent& event) {
    if (!IsActivationKey(event))
        return false;
    button.click();
    return true;
}

} // namespace controls
