#include "platform/qt/SessionEndWatch.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <atomic>

namespace platform {
namespace {

std::atomic<SessionEndWatch*> watching{nullptr};
std::function<void(const std::string&)>* displayLost = nullptr;
QtMessageHandler previousHandler = nullptr;

// The X11 plugin has no hook for a broken connection: it warns and calls exit(). Its warning is
// the last moment at which the recording can still be finished in order, on this thread, before
// the process's static objects go.
void WatchForDisplayLoss(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
    if (type == QtWarningMsg && message.contains(QLatin1String("X11 connection broke")) &&
        watching.load() != nullptr && displayLost != nullptr) {
        try {
            (*displayLost)(SessionEndWatch::DisplayLost);
        } catch (...) {
            // The process ends right after this warning; its message still goes out below.
        }
    }
    if (previousHandler != nullptr)
        previousHandler(type, context, message);
    else
        qt_message_output(type, context, message);
}

} // namespace

SessionEndWatch::SessionEndWatch(std::function<void(const std::string& cause)> ended)
    : ended_(std::move(ended)),
      notifier_(std::make_unique<QSocketNotifier>(signals_.ReadEnd(), QSocketNotifier::Read)) {
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { SignalsArrived(); });
    displayLost = &ended_;
    watching.store(this);
    previousHandler = qInstallMessageHandler(WatchForDisplayLoss);
}

SessionEndWatch::~SessionEndWatch() {
    qInstallMessageHandler(previousHandler);
    watching.store(nullptr);
    displayLost = nullptr;
}

void SessionEndWatch::SignalsArrived() {
    for (const std::string& cause : signals_.Take())
        ended_(cause);
}

} // namespace platform
