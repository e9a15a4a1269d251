#include "controls/Look.h"
#include "platform/qt/GuardedApplication.h"
#include "platform/qt/GuiHandoverPump.h"
#include "platform/qt/QtMessageBoxes.h"
#include "station/UMainForm.h"

#include <cstdio>

int main(int argc, char** argv) {
    // Without a display Qt aborts with a message few operators would understand.
    if (!platform::DisplayAvailable()) {
        std::fprintf(stderr, "%s\n", platform::NoDisplayHint);
        return 1;
    }
    platform::GuardedApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("interview-station"));
    application.setApplicationDisplayName(QString::fromUtf8(ApplicationTitle));
    platform::InstallGuiHandoverPump();
    platform::InstallQtMessageBoxes();

    TfrmMainForm window;
    window.showMaximized();
    return application.exec();
}
