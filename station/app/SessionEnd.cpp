#include "station/app/SessionEnd.h"

#include "archive/SevenzipLibrary.h"
#include "audio/GainAnalysis.h"
#include "audio/lame.h"
#include "audio/taglib.h"
#include "platform/MessageBox.h"

#include "station/core/Interview.h"
#include "station/core/WorkstationCheck.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>

namespace station {

namespace {

bool MakeLibraries() {
    audio::EncoderLibrary();
    audio::GainLibrary();
    audio::TagLibrary();
    archive::sevenzip::Library();
    return true;
}

} // namespace

SessionEnd::SessionEnd(Interview& interview, WorkstationCheck& check)
    : interview_(interview), check_(check), librariesMade_(MakeLibraries()),
      lastWords_([this] { End(platform::SessionEndWatch::DisplayLost); }),
      watch_([this](const std::string& cause) { End(cause); }) {}

void SessionEnd::End(const std::string& cause) {
    if (ended_)
        return;
    ended_ = true;
    // Nobody is left to answer a box, and without a display one could never close: what the stop
    // still has to tell goes to the log and the standard error.
    platform::SetMessageBoxPresenter({});
    // Nothing is painted any more: the display may be gone, and on the way out of exit() the
    // toolkit's own static objects may be too.
    for (QWidget* window : QApplication::topLevelWidgets())
        window->setUpdatesEnabled(false);
    interview_.EndSession(cause);
    // The test recording is nobody's answer, but its worker must not outlive the libraries either.
    check_.TestRecorder().Stop();
    // Every loop ends, also that of a box still open; no window is asked whether it may close.
    QCoreApplication::exit(0);
}

} // namespace station
