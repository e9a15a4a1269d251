#include "audio/EventHandler.h"
#include "controls/Look.h"
#include "platform/MessageBox.h"
#include "platform/qt/GuardedApplication.h"
#include "platform/qt/GuiHandoverPump.h"
#include "platform/qt/QtMessageBoxes.h"
#include "station/CommandLine.h"
#include "station/UMainForm.h"

#include <cstdio>
#include <iostream>

int main(int argc, char** argv) {
    if (const auto status = station::AnswerCommandLine(argc, argv, std::cout))
        return *status;
    // Without a display Qt aborts with a message few operators would understand.
    if (!platform::DisplayAvailable()) {
        std::fprintf(stderr, "%s\n", platform::NoDisplayHint);
        return 1;
    }
    platform::GuardedApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("interview-station"));
    application.setApplicationDisplayName(QString::fromUtf8(ApplicationTitle));
    application.setDesktopFileName(QStringLiteral("interview-station"));
    platform::InstallGuiHandoverPump();
    platform::InstallQtMessageBoxes();
    // Handlers of the recording chain's events (the meters, a finished file's report line) follow
    // the rule of every other handler: a failure is shown, and the program goes on.
    audio::SetHandlerFailureReporter([](const std::string& message) {
        platform::ShowMessageBox(
            {message, {}, platform::MessageIcon::Error, platform::MessageButtons::Ok});
    });

    TfrmMainForm window;
    window.showMaximized();
    return application.exec();
}
