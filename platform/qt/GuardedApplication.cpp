#include "platform/qt/GuardedApplication.h"

#include "platform/GuiHandler.h"

#include <cstdlib>
#include <filesystem>
#include <string>

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

namespace {

const char* Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// A local X display (":N" or ":N.S") is served through the socket /tmp/.X11-unix/XN; a display
// left behind by a session that has ended names a socket that is gone. Remote displays are taken
// on trust.
bool XDisplayReachable(const std::string& display) {
    if (display.empty() || display[0] != ':')
        return true;
    const std::string number = display.substr(1, display.find('.') - 1);
    std::error_code ignored;
    return std::filesystem::exists("/tmp/.X11-unix/X" + number, ignored);
}

} // namespace

bool DisplayAvailable() {
    if (Variable("QT_QPA_PLATFORM") || Variable("WAYLAND_DISPLAY"))
        return true;
    const char* display = Variable("DISPLAY");
    return display != nullptr && XDisplayReachable(display);
}

} // namespace platform
