#include "station/app/SessionEnd.h"

#include "platform/MessageBox.h"

#include "station/core/Interview.h"
#include "station/core/WorkstationCheck.h"

#include <QCoreApplication>

SessionEnd::SessionEnd(Interview& interview, WorkstationCheck& check)
    : interview_(interview), check_(check),
      lastWords_([this] { End(platform::SessionEndWatch::DisplayLost); }),
      watch_([this](const std::string& cause) { End(cause); }) {}

void SessionEnd::End(const std::string& cause) {
    if (ended_)
        return;
    ended_ = true;
    // Nobody is left to answer a box, and without a display one could never close: what the stop
    // still has to tell goes to the log and the standard error.
    platform::SetMessageBoxPresenter({});
    interview_.EndSession(cause);
    // The test recording is nobody's answer, but its worker must not outlive the libraries either.
    check_.TestRecorder().Stop();
    // Every loop ends, also that of a box still open; no window is asked whether it may close.
    QCoreApplication::exit(0);
}
