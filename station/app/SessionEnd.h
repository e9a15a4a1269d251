// The program's answer to the end of the user's session (logout, shutdown, Ctrl+C, the display
// gone): the running recording is finished as a stop finishes it (file complete and tagged, its
// report line and log line), then the program ends.
#pragma once

#include "platform/ProcessExit.h"
#include "platform/qt/SessionEndWatch.h"

#include <string>

class Interview;
class WorkstationCheck;

class SessionEnd {
public:
    // Make the run-time loaded libraries before this object: they are then unloaded only after
    // the last words have stopped the recordings' workers.
    SessionEnd(Interview& interview, WorkstationCheck& check);

private:
    void End(const std::string& cause);

    Interview& interview_;
    WorkstationCheck& check_;
    bool ended_ = false;
    platform::LastWordsAtExit lastWords_;
    platform::SessionEndWatch watch_;
};
