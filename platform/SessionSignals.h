// The end of the user's session as the system announces it: logout and shutdown send SIGTERM or
// SIGHUP, Ctrl+C in a terminal SIGINT. A signal handler may do almost nothing safely, so these
// signals only write their number into a pipe; the GUI loop watches the pipe's read end and does
// the work (finishing the recording) there.
#pragma once

#include <string>
#include <vector>

namespace platform {

class SessionSignals {
public:
    // From now on the session's end signals are caught instead of ending the process at once. One
    // object at a time. Raises FileError when the pipe cannot be made.
    SessionSignals();
    // The signals' earlier handling comes back.
    ~SessionSignals();
    SessionSignals(const SessionSignals&) = delete;
    SessionSignals& operator=(const SessionSignals&) = delete;

    // Becomes readable when a signal has arrived.
    int ReadEnd() const { return readEnd_; }
    // The names of the signals that have arrived since the last call ("SIGTERM", ...), in order;
    // empty when none has. Never blocks.
    std::vector<std::string> Take();

private:
    int readEnd_ = -1;
    int writeEnd_ = -1;
};

} // namespace platform
