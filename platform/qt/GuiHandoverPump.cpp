#include "platform/qt/GuiHandoverPump.h"

#include "platform/GuiHandover.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>

namespace platform {
namespace {

const QEvent::Type HandoverEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class HandoverPump : public QObject {
public:
    using QObject::QObject;

protected:
    bool event(QEvent* event) override {
        if (event->type() != HandoverEvent)
            return QObject::event(event);
        CheckSynchronize();
        return true;
    }
};

} // namespace

void InstallGuiHandoverPump() {
    SetGuiThread();
    // Owned by the application object; the wake-up checks the pointer because worker threads may
    // still hand over calls while the application is being torn down.
    QPointer<HandoverPump> pump = new HandoverPump(QCoreApplication::instance());
    QObject::connect(QCoreApplication::instance(), &QObject::destroyed,
                     [] { SetHandoverWakeUp({}); });
    SetHandoverWakeUp([pump] {
        if (pump)
            QCoreApplication::postEvent(pump.data(), new QEvent(HandoverEvent));
    });
}

} // namespace platform
