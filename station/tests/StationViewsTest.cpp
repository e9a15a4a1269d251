// The window and its pages on the real core: each control is wired to the core, shows what the
// core reports with the station's captions, and is usable exactly when the state tables say.
#include "controls/ImageList.h"
#include "controls/Label.h"
#include "controls/LevelStrip.h"
#include "controls/Panel.h"
#include "controls/PictureButton.h"
#include "controls/ProgressBar.h"
#include "controls/Timer.h"
#include "controls/ToggleButton.h"
#include "controls/tests/AccessibilityEvents.h"
#include "station/app/SessionEnd.h"
#include "station/core/WorkLog.h"
#include "station/safeguards/StationLog.h"
#include "station/tests/CoreFixture.h"
#include "station/views/MainWindow.h"
#include "testsupport/QtTestApplication.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>

using namespace station;

namespace {

using platform::MessageResult;

// Runs the event loop until something ends it, or ends it with 7 after `limit`. The guard goes
// with the call: a one-shot timer left behind would end a later test's loop.
int ExecWithin(std::chrono::milliseconds limit) {
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    giveUp.start(limit);
    return QCoreApplication::exec();
}

class StationViewsTest : public coretest::CoreFixture {
protected:
    void SetUp() override {
        window_ = std::make_unique<MainWindow>(*interview_, *check_);
        window_->show();
    }
    void TearDown() override { window_.reset(); }

    template <typename T> T& Find(const char* page, const char* name) const {
        // The controls have no meta-object of their own: found by name, then told apart by type.
        QObject* holder = window_->objectName() == QLatin1String(page)
                              ? window_.get()
                              : window_->findChild<QWidget*>(QString::fromLatin1(page));
        T* found = holder ? dynamic_cast<T*>(holder->findChild<QObject*>(QString::fromLatin1(name)))
                          : nullptr;
        if (!found)
            throw std::runtime_error(std::string("no ") + page + "/" + name);
        return *found;
    }
    QWidget& Settings() const { return *window_->findChild<QWidget*>("settingsPage"); }
    QWidget& Exam() const { return *window_->findChild<QWidget*>("examPage"); }
    controls::PictureButton& ExamButton(const char* name) const {
        return Find<controls::PictureButton>("examPage", name);
    }
    controls::ToggleButton& Toggle(const char* name) const {
        return Find<controls::ToggleButton>("settingsPage", name);
    }
    std::string ExamText(const char* name) const {
        if (auto* panel = dynamic_cast<controls::Panel*>(Exam().findChild<QWidget*>(name)))
            return panel->Text().toStdString();
        return Find<QLabel>("examPage", name).text().toStdString();
    }
    bool ExamShown(const char* name) const { return !Find<QWidget>("examPage", name).isHidden(); }

    void Fill(const char* region, const char* name, const char* code, const char* room) {
        Find<QLineEdit>("settingsPage", "regionEdit").setText(QString::fromUtf8(region));
        Find<QLineEdit>("settingsPage", "schoolNameEdit").setText(QString::fromUtf8(name));
        Find<QLineEdit>("settingsPage", "schoolCodeEdit").setText(QString::fromUtf8(code));
        Find<QLineEdit>("settingsPage", "roomEdit").setText(QString::fromUtf8(room));
    }
    void Save() { Find<controls::PictureButton>("settingsPage", "saveButton").click(); }
    void OpenExamPage() {
        Fill("г. Москва", "Школа №1", "145", "12");
        Save();
        Find<controls::PictureButton>("settingsPage", "readyButton").click();
        ASSERT_FALSE(Exam().isHidden());
    }
    static bool PumpUntil(const std::function<bool()>& done, double seconds = 20) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!done()) {
            if (std::chrono::steady_clock::now() >= end)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    std::unique_ptr<MainWindow> window_;
};

TEST_F(StationViewsTest, StartsWithTheParametersPageAndItsControlsAsTheStateTablesSay) {
    EXPECT_EQ(window_->windowTitle().toStdString(), "Собеседование по русскому языку");
    EXPECT_TRUE(window_->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(Find<QLabel>("mainWindow", "titleLabel").text().toStdString(),
              "ГИА-9. СОБЕСЕДОВАНИЕ ПО РУССКОМУ ЯЗЫКУ");
    EXPECT_EQ(Find<QLabel>("mainWindow", "versionLabel").text().toStdString(), "Версия 1.0");
    EXPECT_FALSE(Settings().isHidden());
    EXPECT_TRUE(Exam().isHidden());

    EXPECT_TRUE(Find<controls::PictureButton>("settingsPage", "saveButton").isEnabled());
    EXPECT_FALSE(Find<controls::PictureButton>("settingsPage", "readyButton").isEnabled());
    EXPECT_FALSE(Toggle("microphoneToggle").isEnabled());
    EXPECT_FALSE(Toggle("playbackToggle").isEnabled());
    EXPECT_EQ(Toggle("microphoneToggle").ImageIndex(), 3);
    EXPECT_EQ(Toggle("playbackToggle").ImageIndex(), 4);
    EXPECT_TRUE(Find<controls::ProgressBar>("settingsPage", "levelMeter").isHidden());
    EXPECT_EQ(Find<controls::ImageList>("settingsPage", "images").Name(5).toStdString(),
              "control_stop_blue");

    EXPECT_TRUE(ExamButton("startButton").isEnabled());
    EXPECT_FALSE(ExamButton("nextButton").isEnabled());
    EXPECT_TRUE(ExamShown("closeButton"));
    EXPECT_FALSE(ExamShown("exitButton"));
    EXPECT_FALSE(ExamShown("levelMeter"));
    EXPECT_EQ(Find<controls::ProgressBar>("examPage", "levelMeter").maximum(), 100);
    const auto& timer = Find<controls::Timer>("examPage", "recordingTimer");
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.interval(), 1000);
    EXPECT_EQ(Find<controls::ImageList>("examPage", "images").Name(4).toStdString(), "door_open");
    EXPECT_EQ(ExamText("recordingBanner"), "");
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(StationViewsTest, SaveButtonStoresTheTypedTextsAndOpensTheCheck) {
    Fill("", "Школа", "145", "12");
    Save();
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{"Введите полностью данные!"});
    EXPECT_FALSE(Toggle("microphoneToggle").isEnabled());

    // Pasting goes through insert, which keeps line breaks; they reach the core's check.
    Fill("", " Школа ", "  5", "12");
    Find<QLineEdit>("settingsPage", "regionEdit").insert(QString::fromUtf8("Москва\nРайон"));
    boxes_.Clear();
    Save();
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{"Город / район и название ОУ не должны "
                                                       "содержать переносов строк и других "
                                                       "управляющих символов"});

    Fill("Москва", " Школа ", "  5", "12");
    Save();
    EXPECT_EQ(State().region, "Москва");
    EXPECT_EQ(State().schoolName, " Школа ");
    EXPECT_EQ(State().schoolCode6, "000  5");
    EXPECT_EQ(State().room3, "012");
    EXPECT_TRUE(Toggle("microphoneToggle").isEnabled());
    EXPECT_TRUE(Toggle("playbackToggle").isEnabled());
    EXPECT_TRUE(Find<controls::PictureButton>("settingsPage", "readyButton").isEnabled());

    // A refused save leaves no parameters in force: readiness is not offered under the values
    // saved before, which the fields no longer show, until a save succeeds.
    Fill("Москва", " Школа ", "  5", "6;");
    Save();
    EXPECT_FALSE(Find<controls::PictureButton>("settingsPage", "readyButton").isEnabled());
    Fill("Москва", " Школа ", "  5", "6");
    Save();
    EXPECT_TRUE(Find<controls::PictureButton>("settingsPage", "readyButton").isEnabled());
    EXPECT_EQ(State().room3, "006");
}

TEST_F(StationViewsTest, ReadinessShowsTheExamPageWithItsCaptions) {
    Fill("г. Москва", "ГБОУ Школа; №1", "145", "12");
    Save();
    Find<QLabel>("examPage", "countLabel").setText("old");
    Find<QLabel>("examPage", "reportLabel").setText("old");
    Find<QLabel>("examPage", "archiveLabel").setText("old");
    Find<controls::PictureButton>("settingsPage", "readyButton").click();

    EXPECT_TRUE(Settings().isHidden());
    EXPECT_FALSE(Exam().isHidden());
    const std::string date = platform::FormatDateTime("dd.mm.yyyy", State().examDate);
    EXPECT_EQ(ExamText("dateCaption"), date + " - собеседование по русскому языку в 9 классах");
    EXPECT_EQ(ExamText("regionLabel"), "г. Москва");
    EXPECT_EQ(ExamText("schoolLabel"), "000145 - ГБОУ Школа; №1");
    EXPECT_EQ(ExamText("roomLabel"), "Аудитория - 012");
    EXPECT_EQ(ExamText("participantLabel"), "Участник - 1");
    EXPECT_EQ(ExamText("countLabel"), "");
    EXPECT_EQ(ExamText("reportLabel"), "");
    EXPECT_EQ(ExamText("archiveLabel"), "");
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(StationViewsTest, ExamPageFollowsTheInterviewFromStartToExit) {
    OpenExamPage();
    ExamButton("startButton").click();
    EXPECT_FALSE(ExamButton("startButton").isEnabled());
    EXPECT_TRUE(ExamButton("nextButton").isEnabled());
    EXPECT_TRUE(ExamButton("closeButton").isEnabled());
    EXPECT_TRUE(ExamShown("levelMeter"));
    EXPECT_EQ(ExamText("recordingBanner"), "Идёт запись ...");
    EXPECT_EQ(ExamText("timerLabel"), "0 мин. 0 сек.");
    // The page's own timer ticks every second; the server's sine moves the meter.
    EXPECT_TRUE(PumpUntil([&] { return ExamText("timerLabel") == "0 мин. 2 сек."; }, 5));
    EXPECT_TRUE(PumpUntil(
        [&] { return Find<controls::ProgressBar>("examPage", "levelMeter").Position() > 0; }, 5));

    ExamButton("nextButton").click();
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    EXPECT_EQ(boxes_.Shown()[0].caption, "Подтверждение");
    EXPECT_EQ(boxes_.Shown()[0].icon, platform::MessageIcon::Question);
    EXPECT_EQ(ExamText("participantLabel"), "Участник - 2");
    EXPECT_EQ(ExamText("timerLabel"), "0 мин. 0 сек.");
    // The second participant is recorded for a while: a pass without audio would be listed as one
    // that never started.
    EXPECT_TRUE(PumpUntil([&] { return ExamText("timerLabel") == "0 мин. 1 сек."; }, 5));

    ExamButton("closeButton").click();
    // The archive is packed on a thread of its own: the page shows its progress meanwhile.
    EXPECT_EQ(ExamText("recordingBanner"), "Идёт упаковка архива …");
    EXPECT_TRUE(ExamShown("packingBar"));
    EXPECT_FALSE(ExamShown("closeButton"));
    EXPECT_FALSE(ExamShown("exitButton"));
    ASSERT_TRUE(PumpUntil([&] { return ExamShown("exitButton"); }));
    EXPECT_FALSE(ExamShown("packingBar"));
    EXPECT_EQ(ExamText("proofLabel"), "Архив проверен: 2 записи, контрольные суммы совпадают.");
    const std::string day = platform::FormatDateTime("ddmmyyyy", platform::Today());
    EXPECT_EQ(ExamText("reportLabel"), "Сформирован отчёт:  01-" + day + "-000000-000145-012.csv");
    EXPECT_EQ(ExamText("countLabel"), "Участников: 2");
    EXPECT_EQ(ExamText("archiveLabel"),
              "Архив собеседования: " + desktop_.Desktop() + "/01-" + day + "-000145-012.zip");
    EXPECT_EQ(ExamText("recordingBanner"), "");
    EXPECT_FALSE(ExamShown("timerLabel"));
    EXPECT_FALSE(ExamShown("closeButton"));
    EXPECT_TRUE(ExamShown("exitButton"));
    EXPECT_FALSE(ExamButton("nextButton").isEnabled());
    EXPECT_FALSE(ExamButton("startButton").isEnabled());
    EXPECT_TRUE(ExamShown("levelMeter"));

    // A click after the double-click interval is the operator's own choice to exit.
    QTimer::singleShot(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50,
                       [this] { ExamButton("exitButton").click(); });
    // Should the exit not work, the loop is ended with another code.
    EXPECT_EQ(ExecWithin(std::chrono::milliseconds(5000)), 0);
}

// Whether the accessibility tree below `node` holds an object of `role` named `name`: what a
// screen reader finds when it walks the window.
bool InAccessibilityTree(QAccessibleInterface* node, QAccessible::Role role, const QString& name) {
    if (!node)
        return false;
    if (node->role() == role && node->text(QAccessible::Name) == name)
        return true;
    for (int i = 0; i < node->childCount(); ++i)
        if (InAccessibilityTree(node->child(i), role, name))
            return true;
    return false;
}

// The pages' painted captions are static text, and the exam page's banner is a status line whose
// every change is announced.
TEST_F(StationViewsTest, ScreenReadersReadTheDrawnCaptionsAndHearTheBannerChange) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(window_.get());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(InAccessibilityTree(window, QAccessible::StaticText,
                                    QString::fromUtf8("Настройка параметров собеседования")));
    OpenExamPage();
    EXPECT_TRUE(InAccessibilityTree(window, QAccessible::StaticText,
                                    QString::fromStdString(ExamText("dateCaption"))));
    EXPECT_TRUE(InAccessibilityTree(window, QAccessible::StatusBar, QString()));

    const QWidget* banner = Exam().findChild<QWidget*>("recordingBanner");
    controls::test::AccessibilityEvents events;
    ASSERT_TRUE(events.Active());
    const auto announced = [&] { return events.Count(banner, QAccessible::NameChanged); };
    ExamButton("startButton").click();
    EXPECT_TRUE(
        InAccessibilityTree(window, QAccessible::StatusBar, QString::fromUtf8("Идёт запись ...")));
    EXPECT_EQ(announced(), 1);
    ExamButton("closeButton").click();
    EXPECT_TRUE(InAccessibilityTree(window, QAccessible::StatusBar,
                                    QString::fromUtf8("Идёт упаковка архива …")));
    const long packing = announced();
    EXPECT_GT(packing, 1);
    ASSERT_TRUE(PumpUntil([&] { return ExamShown("exitButton"); }));
    EXPECT_EQ(announced(), packing + 1); // the banner is cleared
}

// "Выйти из программы" appears where "Завершить собеседование" was: the second click of a double
// click on the close must not end the program.
TEST_F(StationViewsTest, ADoubleClickOnTheCloseDoesNotExit) {
    OpenExamPage();
    // An interview without a recording is not closed at all.
    ExamButton("startButton").click();
    ASSERT_TRUE(PumpUntil([&] { return ExamText("timerLabel") == "0 мин. 1 сек."; }, 5));
    auto& close = ExamButton("closeButton");
    const QPoint spot = close.rect().center();
    QTimer::singleShot(0, [&] {
        QTest::mouseClick(&close, Qt::LeftButton, {}, spot);
        ASSERT_TRUE(PumpUntil([&] { return ExamShown("exitButton"); }));
        auto& exit = ExamButton("exitButton");
        const QPoint there = exit.mapFromGlobal(close.mapToGlobal(spot));
        ASSERT_TRUE(exit.rect().contains(there));
        QTest::mouseDClick(&exit, Qt::LeftButton, {}, there);
        QTest::mouseClick(&exit, Qt::LeftButton, {}, there);
    });
    EXPECT_EQ(ExecWithin(std::chrono::milliseconds(
                  QGuiApplication::styleHints()->mouseDoubleClickInterval() + 1000)),
              7);
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(StationViewsTest, CheckTogglesShowTheCheckState) {
    Fill("Р", "Ш", "145", "12");
    Save();
    Toggle("microphoneToggle").click();
    EXPECT_TRUE(Toggle("microphoneToggle").Down());
    EXPECT_EQ(Toggle("microphoneToggle").ImageIndex(), 5);
    EXPECT_FALSE(Toggle("playbackToggle").isEnabled());
    EXPECT_FALSE(Find<controls::ProgressBar>("settingsPage", "levelMeter").isHidden());
    EXPECT_TRUE(PumpUntil(
        [&] { return Find<controls::ProgressBar>("settingsPage", "levelMeter").Position() > 0; },
        5));

    Toggle("microphoneToggle").click();
    ASSERT_TRUE(PumpUntil([&] { return !check_->TestRecorder().Busy(); }));
    Toggle("playbackToggle").click();
    EXPECT_FALSE(Toggle("microphoneToggle").Down());
    EXPECT_EQ(Toggle("microphoneToggle").ImageIndex(), 3);
    EXPECT_TRUE(Toggle("playbackToggle").Down());
    EXPECT_EQ(Toggle("playbackToggle").ImageIndex(), 5);
    EXPECT_TRUE(Find<controls::ProgressBar>("settingsPage", "levelMeter").isHidden());
    Toggle("playbackToggle").click();
    EXPECT_FALSE(Toggle("playbackToggle").Down());
    EXPECT_EQ(Toggle("playbackToggle").ImageIndex(), 4);
    EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(StationViewsTest, ControlsWithoutWrittenCaptionsAndTheFieldsHaveSpokenNames) {
    struct Case {
        const char* page;
        const char* control;
        const char* name;
        bool tooltip; // drawn controls show their name as a tooltip as well
    };
    const Case cases[] = {
        {"settingsPage", "microphoneToggle", "Проверить микрофон", true},
        {"settingsPage", "playbackToggle", "Прослушать тестовую запись", true},
        {"settingsPage", "levelMeter", "Уровень сигнала", true},
        {"examPage", "levelMeter", "Уровень сигнала", true},
        {"settingsPage", "regionEdit", "Город / Район", false},
        {"settingsPage", "schoolNameEdit", "Название ОУ", false},
        {"settingsPage", "schoolCodeEdit", "Код ОУ", false},
        {"settingsPage", "roomEdit", "Номер аудитории", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.page) + "/" + c.control);
        QWidget& control = Find<QWidget>(c.page, c.control);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&control);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->text(QAccessible::Name).toStdString(), c.name);
        if (c.tooltip) {
            EXPECT_EQ(control.toolTip().toStdString(), c.name);
        }
    }
}

TEST_F(StationViewsTest, TheKeyboardAloneLeadsFromTheParametersToARecording) {
    Fill("г. Москва", "Школа №1", "145", "12");
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    Find<QWidget>("settingsPage", "regionEdit").setFocus();
    const auto focused = [] {
        QWidget* widget = QApplication::focusWidget();
        return widget ? widget->objectName().toStdString() : std::string();
    };
    const auto tab = [&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); };
    std::vector<std::string> visited{focused()};
    for (int i = 0; i < 4; ++i) {
        tab();
        visited.push_back(focused());
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"regionEdit", "schoolNameEdit", "schoolCodeEdit",
                                                 "roomEdit", "saveButton"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(State().schoolCode6, "000145");

    visited.clear();
    for (int i = 0; i < 3; ++i) {
        tab();
        visited.push_back(focused());
    }
    EXPECT_EQ(visited,
              (std::vector<std::string>{"microphoneToggle", "playbackToggle", "readyButton"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    ASSERT_FALSE(Exam().isHidden());

    ExamButton("startButton").setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(ExamText("recordingBanner"), "Идёт запись ...");
    tab();
    EXPECT_EQ(focused(), "nextButton");
    tab();
    EXPECT_EQ(focused(), "closeButton");
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(StationViewsTest, ExamBannerShowsTheLowSpaceWarning) {
    OpenExamPage();
    ExamButton("startButton").click();
    freeBytes_ = 0;
    interview_->Tick();
    EXPECT_EQ(ExamText("recordingBanner"), "Мало места на диске!");
    freeBytes_ = std::uint64_t{1} << 40;
    Skip(std::chrono::seconds(10));
    // The meter reports sound at the new time, or the ten seconds would count as silence.
    PumpUntil([] { return false; }, 0.3);
    interview_->Tick();
    EXPECT_EQ(ExamText("recordingBanner"), "Идёт запись ...");
}

TEST_F(StationViewsTest, ClosingTheWindowAsksOnlyWhileAnInterviewIsOpen) {
    OpenExamPage();
    ExamButton("startButton").click();
    boxes_.Answer(MessageResult::Cancel);
    EXPECT_FALSE(window_->close());
    EXPECT_EQ(boxes_.Texts(),
              std::vector<std::string>{"Собеседование не завершено. Выйти из программы?"});
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(RecordingRunning());

    EXPECT_TRUE(window_->close());
    EXPECT_FALSE(window_->isVisible());
    EXPECT_FALSE(RecordingRunning());
}

// While "Вы уверены?" is open its nested event loop runs: the close, pressed through assistive
// technology or clicked, must not pack the archive then, and the answer must not record outside it.
TEST_F(StationViewsTest, NoButtonOfTheExamPageActsWhileItsQuestionIsOpen) {
    OpenExamPage();
    ExamButton("startButton").click();
    std::vector<std::string> questions;
    bool blocked = false;
    const platform::MessageBoxPresenter previous =
        platform::SetMessageBoxPresenter([&](const platform::MessageBoxRequest& request) {
            questions.push_back(request.text);
            auto& close = ExamButton("closeButton");
            blocked = !close.isEnabled() && !ExamButton("startButton").isEnabled() &&
                      !ExamButton("nextButton").isEnabled();
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&close);
            if (accessible && accessible->actionInterface())
                accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QTest::mouseClick(&close, Qt::LeftButton);
            close.click();
            // The press action clicks after a moment: the box's own loop would run it.
            QTest::qWait(400);
            return MessageResult::Ok;
        });
    ExamButton("nextButton").click();
    platform::SetMessageBoxPresenter(previous);

    EXPECT_EQ(questions, std::vector<std::string>{"Вы уверены?"});
    EXPECT_TRUE(blocked);
    EXPECT_FALSE(Packing());
    EXPECT_EQ(ExamText("reportLabel"), "");
    EXPECT_EQ(ExamText("participantLabel"), "Участник - 2");
    EXPECT_TRUE(RecordingInto(Recording(2)));
    EXPECT_TRUE(ExamButton("closeButton").isEnabled());
    EXPECT_TRUE(ExamButton("nextButton").isEnabled());

    // Once the question is answered the press action closes as usual, with both recordings.
    QAccessibleInterface* accessible =
        QAccessible::queryAccessibleInterface(&ExamButton("closeButton"));
    ASSERT_TRUE(accessible && accessible->actionInterface());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(PumpUntil([&] { return ExamShown("exitButton"); }));
    EXPECT_EQ(ExamText("countLabel"), "Участников: 2");
    EXPECT_EQ(ExamText("proofLabel"), "Архив проверен: 2 записи, контрольные суммы совпадают.");
}

// Logout or shutdown sends SIGTERM: the recording is finished as a stop finishes it, also while a
// question is open, and the loop ends.
TEST_F(StationViewsTest, SigtermFinishesTheRecordingWithItsLinesAndEndsTheLoop) {
    StationLog log(desktop_.Home() + "/station.log");
    WorkLog workLog(log);
    subscriptions_.push_back(interview_->Observers().Subscribe(workLog));
    const SessionEnd sessionEnd(*interview_, *check_);
    OpenExamPage();
    ExamButton("startButton").click();
    PumpUntil([] { return false; }, 1.0);

    boxes_.Answer(MessageResult::Ok);
    QTimer::singleShot(0, [this] {
        // The signal comes while "Вы уверены?" waits for its answer.
        platform::SetMessageBoxPresenter([](const platform::MessageBoxRequest&) {
            std::raise(SIGTERM);
            QEventLoop loop;
            QTimer::singleShot(5000, &loop, [&] { loop.exit(1); });
            return loop.exec() == 0 ? MessageResult::Ok : MessageResult::Cancel;
        });
        ExamButton("nextButton").click();
    });
    EXPECT_EQ(ExecWithin(std::chrono::milliseconds(10000)), 0);

    EXPECT_FALSE(RecordingRunning());
    EXPECT_FALSE(std::filesystem::exists(Recording(2)));
    EXPECT_NEAR(coretest::DecodedSeconds(Recording(1)), 1.0, 0.4);
    const std::vector<std::string> report = interview_->Report();
    EXPECT_TRUE(std::any_of(report.begin(), report.end(), [](const std::string& line) {
        return line.rfind("1.mp3;", 0) == 0 && line.find(";-1;") == std::string::npos;
    })) << ::testing::PrintToString(report);
    std::ifstream in(log.Path());
    const std::string logged{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(logged.find("Сеанс завершается (SIGTERM)"), std::string::npos) << logged;
    EXPECT_NE(logged.find("Запись завершена: 1.mp3"), std::string::npos) << logged;
}

// The X11 plugin ends the process with exit() when its display is lost: the static objects (the
// encoder library among them) then go while the worker may still encode. The last words finish
// the recording first, on the way out.
std::string exitingRecording;
void TellExitingRecording() {
    std::fprintf(stderr, "recorded %.1f s\n", coretest::DecodedSeconds(exitingRecording));
    // What follows is the test program's own teardown (its application object, which the station
    // keeps on main's stack and never destroys on exit()).
    std::_Exit(3);
}

TEST_F(StationViewsTest, AnExitWithoutReturnFromMainFinishesTheRecordingFirst) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // Runs after the last words, which are registered later.
            std::atexit(TellExitingRecording);
            const SessionEnd sessionEnd(*interview_, *check_);
            OpenExamPage();
            ExamButton("startButton").click();
            exitingRecording = Recording(1);
            PumpUntil([] { return false; }, 1.5);
            std::exit(3);
        },
        ::testing::ExitedWithCode(3), "recorded 1\\.[2-9] s");
}

TEST_F(StationViewsTest, ClosingTheWindowBeforeReadinessAsksNothing) {
    Fill("Р", "Ш", "145", "12");
    Save();
    EXPECT_TRUE(window_->close());
    EXPECT_TRUE(boxes_.Texts().empty());
}

// The strip under the meter fills second by second from the server's sine and starts empty for
// the next participant.
TEST_F(StationViewsTest, TheLevelStripShowsTheAnswerSecondBySecondAndRestartsForTheNext) {
    OpenExamPage();
    const auto& strip = Find<controls::LevelStrip>("examPage", "levelStrip");
    ExamButton("startButton").click();
    EXPECT_TRUE(ExamShown("levelStrip"));
    ASSERT_TRUE(PumpUntil([&] { return strip.Bars().size() >= 2; }, 5));
    EXPECT_GT(strip.Bars().back(), 2);
    ExamButton("nextButton").click();
    EXPECT_EQ(ExamText("participantLabel"), "Участник - 2");
    EXPECT_LT(strip.Bars().size(), 2u);
    ASSERT_TRUE(PumpUntil([&] { return strip.Bars().size() >= 1; }, 5));
    EXPECT_TRUE(window_->close());
}

} // namespace
