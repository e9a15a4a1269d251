#include "controls/Look.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>
#include <cstdlib>

namespace controls {

QFont StationFont(int height, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::abs(height));
    font.setBold(bold);
    return font;
}

QColor FaceColor() {
    return {240, 240, 240};
}
QColor AccentColor() {
    return {255, 143, 89};
}

void ApplyFlatLightLook(QApplication& application) {
    application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette;
    palette.setColor(QPalette::Window, FaceColor());
    palette.setColor(QPalette::Button, QColor(250, 250, 250));
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, QColor(246, 246, 246));
    palette.setColor(QPalette::WindowText, QColor(32, 32, 32));
    palette.setColor(QPalette::ButtonText, QColor(32, 32, 32));
    palette.setColor(QPalette::Text, QColor(32, 32, 32));
    palette.setColor(QPalette::Highlight, QColor(0, 128, 0));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, AccentColor());
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(150, 150, 150));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(150, 150, 150));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(150, 150, 150));
    application.setPalette(palette);
    application.setFont(StationFont(-11));
}

SkinManager::SkinManager(QObject* parent) : QObject(parent) {
    if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance()))
        ApplyFlatLightLook(*application);
}

} // namespace controls
