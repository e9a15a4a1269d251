// The program's answer to the end of the user's session (logout, shutdown, Ctrl+C, the display
// gone): the running recording is finished as a stop finishes it (file complete and tagged, its
// report line and log line), then the program ends.
#pragma once

#include "platform/ProcessExit.h"
#include "platform/qt/SessionEndWatch.h"

#include <string>

namespace station {

class Interview;
class WorkstationCheck;

class SessionEnd {
public:
    SessionEnd(Interview& interview, WorkstationCheck& check);

private:
    void End(const std::string& cause);

    Interview& interview_;
    WorkstationCheck& check_;
    bool ended_ = false;
    // The run-time loaded libraries are made before the last words: static objects go in the
    // reverse order of their making, so they are unloaded only after the last words have stopped
    // the recordings' workers.
    bool librariesMade_;
    platform::LastWordsAtExit lastWords_;
    platform::SessionEndWatch watch_;
};

} // namespace station
