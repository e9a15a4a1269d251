// The flat light look shared by every control: Fusion style, a light palette and DejaVu Sans.
#pragma once

#include <QColor>
#include <QFont>
#include <QObject>

class QApplication;

namespace controls {

// The font of the given height in pixels (a negative height is taken by its magnitude).
QFont StationFont(int height, bool bold = false);

// Background of windows and panels ("button face").
QColor FaceColor();
// Thin accent strips ("info background").
QColor AccentColor();

// Applies the look to the whole application; call once after creating it.
void ApplyFlatLightLook(QApplication& application);

// The skin manager of a window: applies the look when created.
class SkinManager : public QObject {
public:
    explicit SkinManager(QObject* parent);
};

} // namespace controls
