// The application object: an exception that escapes the handling of any event is shown in a message
// box with its message, and the program goes on.
#pragma once

#include <QApplication>

namespace platform {

class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Whether a display can be reached; without one Qt would abort. The line to tell the user is
// NoDisplayHint.
bool DisplayAvailable();
extern const char* const NoDisplayHint;

} // namespace platform
