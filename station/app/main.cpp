// The program: builds the real services (sound server, player, message boxes, Desktop folder,
// calendar), the interview and its workstation check on them, and the window that shows them.
#include "audio/EventHandler.h"
#include "platform/Desktop.h"
#include "platform/FileSystemFacts.h"
#include "platform/MessageBox.h"
#include "platform/SoundSystem.h"
#include "platform/qt/GuardedApplication.h"
#include "platform/qt/GuiHandoverPump.h"
#include "platform/qt/QtMessageBoxes.h"
#include "station/Naming.h"
#include "station/OperatorTexts.h"
#include "station/app/CommandLine.h"
#include "station/app/LibraryPlayer.h"
#include "station/app/MessageBoxes.h"
#include "station/app/SessionEnd.h"
#include "station/app/SystemCalendar.h"
#include "station/core/Interview.h"
#include "station/core/WorkLog.h"
#include "station/core/WorkstationCheck.h"
#include "station/safeguards/StationLog.h"
#include "station/views/MainWindow.h"

#include <chrono>
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

    LibraryPlayer player;
    MessageBoxPrompt prompt;
    SystemCalendar calendar;
    const StationServices services{.sound = platform::DefaultSoundSystem(),
                                   .player = player,
                                   .prompt = prompt,
                                   .calendar = calendar,
                                   .desktopFolder = platform::DesktopFolder,
                                   .testRecording = TestRecordingFileName(),
                                   .steadyNow = std::chrono::steady_clock::now,
                                   .freeBytes = platform::FreeBytes};
    Interview interview(services);
    WorkstationCheck check(services);
    MessageBoxReporter reporter;
    const Subscription interviewMessages = interview.Observers().Subscribe(reporter);
    const Subscription checkMessages = check.Observers().Subscribe(reporter);
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
