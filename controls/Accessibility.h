// What the controls give assistive technology and the keyboard: a spoken name for controls that
// show only a picture or a bar, and activation of buttons with Space, Enter or Return.
#pragma once

#include <QString>

class QKeyEvent;
class QWidget;

namespace controls {

// Gives `control` the name a screen reader announces and the same text as its tooltip, for
// controls whose meaning is drawn rather than written (picture buttons, the level meter).
void SetAccessibleCaption(QWidget* control, const QString& caption);

// Enter or Return (of the main keyboard or the keypad) without other modifiers: the keys that
// activate a focused button, as Space does.
bool IsActivationKey(const QKeyEvent& event);

// Makes assistive technology see toggle buttons as checkable with their current state, and makes
// its toggle and press actions act as a click (running the button's handler). Idempotent; call on
// the GUI thread once the application exists.
void InstallToggleButtonAccessibility();

// Makes assistive technology read a panel's painted caption as its text: static text, or a status
// line for a panel marked as a status. Panels without a caption stay plain containers. Idempotent;
// call on the GUI thread once the application exists.
void InstallPanelAccessibility();

} // namespace controls
