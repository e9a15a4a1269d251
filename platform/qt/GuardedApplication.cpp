#include "platform/qt/GuardedApplication.h"

#include "platform/GuiHandler.h"

#include <cstdlib>

namespace platform {

const char* const NoDisplayHint =
    "No display: start the station from a desktop session, or under a virtual display with: "
    "Xvfb :99 & DISPLAY=:99 ./scripts/run.sh";

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowFailure(std::current_exception());
        return true;
    }
}

bool DisplayAvailable() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace platform
