#include "platform/Desktop.h"
#include "platform/GuiHandover.h"
#include "platform/MessageBox.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/SessionEndWatch.h"
#include "testsupport/QtTestApplication.h"
#include "testsupport/ScopedEnvironmentVariable.h"
#include "testsupport/ScriptedMessageBoxes.h"
#include "testsupport/TemporaryDesktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace {

using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;

class ThrowingObject : public QObject {
protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User)
            throw std::runtime_error("Could not load the libgain.so library.");
        return QObject::event(event);
    }
};

TEST(GuardedApplicationTest, ExceptionEscapingAnEventIsShownAndTheLoopGoesOn) {
    testsupport::ScriptedMessageBoxes boxes;
    ThrowingObject object;
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QApplication::processEvents();
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Could not load the libgain.so library.",
                                                       "Could not load the libgain.so library."}));
}

// Clicks the button with `caption` of the message box as soon as it is up.
void AnswerBoxWith(const QString& caption, QString& shownText, QString& shownTitle) {
    auto* poll = new QTimer(QCoreApplication::instance());
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, caption, &shownText, &shownTitle] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->stop();
        poll->deleteLater();
        shownText = box->text();
        shownTitle = box->windowTitle();
        for (QAbstractButton* button : box->buttons())
            if (button->text() == caption)
                button->click();
    });
    poll->start();
}

TEST(QtMessageBoxesTest, RealBoxesAnswerWithTheButtonPressed) {
    QApplication::setApplicationDisplayName(QStringLiteral("Собеседование по русскому языку"));
    platform::InstallQtMessageBoxes();
    QString text;
    QString title;
    AnswerBoxWith(QStringLiteral("Отмена"), text, title);
    EXPECT_EQ(platform::ShowMessageBox({"Вы уверены?", "Подтверждение", MessageIcon::Question,
                                        MessageButtons::OkCancel}),
              MessageResult::Cancel);
    EXPECT_EQ(text.toStdString(), "Вы уверены?");
    EXPECT_EQ(title.toStdString(), "Подтверждение");

    AnswerBoxWith(QStringLiteral("ОК"), text, title);
    EXPECT_EQ(platform::ShowMessageBox({"Вы уверены?", "Подтверждение", MessageIcon::Question,
                                        MessageButtons::OkCancel}),
              MessageResult::Ok);

    // From a worker: the box comes up on the GUI thread, which the hand-over pump wakes.
    AnswerBoxWith(QStringLiteral("ОК"), text, title);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        platform::ShowMessage("Введите полностью данные!");
        done = true;
    });
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < 10'000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    worker.join();
    EXPECT_EQ(text.toStdString(), "Введите полностью данные!");
    EXPECT_EQ(title.toStdString(), "Собеседование по русскому языку");
    platform::SetMessageBoxPresenter({});
}

TEST(DesktopFolderTest, FollowsTheUserDirectoriesOfTheSession) {
    testsupport::TemporaryDesktop desktop;
    EXPECT_EQ(platform::DesktopFolder(), desktop.Desktop());
    std::filesystem::create_directories(desktop.Home() + "/.config");
    std::ofstream(desktop.Home() + "/.config/user-dirs.dirs")
        << "XDG_DESKTOP_DIR=\"$HOME/Рабочий стол\"\n";
    EXPECT_EQ(platform::DesktopFolder(), desktop.Home() + "/Рабочий стол");
}

// Decided before the application object exists, so that a missing display gives one clear line
// instead of the toolkit's abort.
TEST(DisplayAvailableTest, DisplayVariablesAndStaleLocalDisplays) {
    struct Case {
        const char* platform;
        const char* wayland;
        const char* display;
        bool available;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, false},    {"offscreen", nullptr, nullptr, true},
        {nullptr, "wayland-0", nullptr, true}, {nullptr, nullptr, ":4242", false},
        {nullptr, nullptr, ":4242.0", false},  {nullptr, nullptr, "remote:10.0", true},
        {nullptr, nullptr, "", false},
    };
    using testsupport::ScopedEnvironmentVariable;
    const ScopedEnvironmentVariable qtPlatform("QT_QPA_PLATFORM", nullptr);
    const ScopedEnvironmentVariable wayland("WAYLAND_DISPLAY", nullptr);
    const ScopedEnvironmentVariable display("DISPLAY", nullptr);
    for (const Case& c : cases) {
        qtPlatform.Set(c.platform);
        wayland.Set(c.wayland);
        display.Set(c.display);
        EXPECT_EQ(platform::DisplayAvailable(), c.available)
            << (c.display ? c.display : "-") << " " << (c.platform ? c.platform : "-");
    }
}

} // namespace

namespace {

// A signal becomes a call in the event loop; the X11 plugin's last warning before it exits
// becomes one at once.
TEST(SessionEndWatchTest, SignalsAndTheLostDisplayReachTheLoop) {
    std::vector<std::string> causes;
    {
        platform::SessionEndWatch watch([&](const std::string& cause) { causes.push_back(cause); });
        ASSERT_EQ(std::raise(SIGHUP), 0);
        EXPECT_TRUE(causes.empty());
        QElapsedTimer waited;
        waited.start();
        while (causes.empty() && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_EQ(causes, std::vector<std::string>{"SIGHUP"});

        qWarning("The X11 connection broke (error 1). Did the X11 server die?");
        EXPECT_EQ(causes,
                  (std::vector<std::string>{"SIGHUP", platform::SessionEndWatch::DisplayLost}));
        qWarning("Some other warning");
        EXPECT_EQ(causes.size(), 2u);
    }
    qWarning("The X11 connection broke (error 1). Did the X11 server die?");
    EXPECT_EQ(causes.size(), 2u);
}

} // namespace
