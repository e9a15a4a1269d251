// What the picture buttons share, pushed or toggled alike: the picture they show from an image
// list, and the keys that click them.
#pragma once

class QAbstractButton;
class QKeyEvent;

namespace controls {

class ImageList;

// Shows picture `index` of `images` on `button`, at the list's size; without a list, nothing.
void ShowListPicture(QAbstractButton& button, const ImageList* images, int index);
// Clicks `button` when `event` is a key that activates it (IsActivationKey); whether it did.
bool ClickOnActivationKey(QAbstractButton& button, const QKeyEvent& event);

} // namespace controls
