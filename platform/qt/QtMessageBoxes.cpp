#include "platform/qt/QtMessageBoxes.h"

#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

MessageResult PresentWithQt(const MessageBoxRequest& request) {
    QMessageBox box(QApplication::activeWindow());
    box.setIcon(ToQtIcon(request.icon));
    box.setWindowTitle(request.caption.empty() ? QGuiApplication::applicationDisplayName()
                                               : QString::fromStdString(request.caption));
    box.setText(QString::fromStdString(request.text));
    box.setTextFormat(Qt::PlainText);
    QPushButton* ok = box.addButton(QStringLiteral("ОК"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    if (request.buttons == MessageButtons::OkCancel)
        box.setEscapeButton(box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole));
    else
        box.setEscapeButton(ok);
    box.exec();
    return box.clickedButton() == ok ? MessageResult::Ok : MessageResult::Cancel;
}

} // namespace

void InstallQtMessageBoxes() {
    SetMessageBoxPresenter(PresentWithQt);
}

} // namespace platform
