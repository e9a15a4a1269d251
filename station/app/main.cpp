// The program: the station wired on the real services (sound server, player, message boxes,
// Desktop folder, calendar), its work log, and the window that shows it.
#include "audio/EventHandler.h"
#include "platform/MessageBox.h"
#include "platform/qt/GuardedApplication.h"
#include "platform/qt/GuiHandoverPump.h"
#include "platform/qt/QtMessageBoxes.h"
#include "station/OperatorTexts.h"
#include "station/app/CommandLine.h"
#include "station/app/MessageBoxes.h"
#include "station/app/SessionEnd.h"
#include "station/app/StationWiring.h"
#include "station/core/WorkLog.h"
#include "station/safeguards/StationLog.h"
#include "station/views/MainWindow.h"

#include <cstdio>
#include <iostream>

using namespace station;

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

    StationParts parts;
    const StationServices services = WireServices(parts);
    MessageBoxReporter reporter;
    const StationCore core = WireCore(services, reporter);
    Interview& interview = *core.interview;
    WorkstationCheck& check = *core.check;
    // The exam day's log. A log that cannot be written must not interrupt an interview with a
    // box: the reason goes to the standard error, once.
    StationLog log(StationLog::DefaultPath(), [](const std::string& message) {
        std::fprintf(stderr, "%s\n", message.c_str());
    });
    WorkLog workLog(log);
    const Subscription interviewLog = interview.Observers().SubscribeFirst(workLog);
    const Subscription checkLog = check.Observers().SubscribeFirst(workLog);

    const SessionEnd sessionEnd(interview, check);

    MainWindow window(interview, check);
    window.showMaximized();
    return application.exec();
}
