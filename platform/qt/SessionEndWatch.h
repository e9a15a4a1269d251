// The session's end as a call on the GUI thread: a signal of logout, shutdown or Ctrl+C, read in
// the event loop, and the loss of the display connection, which the X11 platform plugin announces
// with a warning right before it exits the process.
#pragma once

#include "platform/SessionSignals.h"

#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

namespace platform {

class SessionEndWatch {
public:
    // `ended` runs on the GUI thread with the cause ("SIGTERM", ...), for every signal that
    // arrives and when the display is lost. One object at a time; raises FileError when the
    // signals cannot be caught.
    explicit SessionEndWatch(std::function<void(const std::string& cause)> ended);
    ~SessionEndWatch();
    SessionEndWatch(const SessionEndWatch&) = delete;
    SessionEndWatch& operator=(const SessionEndWatch&) = delete;

    // What `ended` is told when the display connection breaks.
    static constexpr const char* DisplayLost = "соединение с дисплеем потеряно";

private:
    void SignalsArrived();

    SessionSignals signals_;
    std::function<void(const std::string&)> ended_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace platform
