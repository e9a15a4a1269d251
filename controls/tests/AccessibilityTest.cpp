#include "controls/Accessibility.h"
#include "controls/Panel.h"
#include "controls/PictureButton.h"
#include "controls/ProgressBar.h"
#include "controls/ToggleButton.h"
#include "controls/tests/AccessibilityEvents.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

QAccessibleInterface* InterfaceOf(QWidget& control) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&control);
    EXPECT_NE(accessible, nullptr);
    return accessible;
}

// A panel's caption is only painted; assistive technology reads it as the panel's text, a status
// panel as a status line, and hears of every change of it (and of nothing else).
TEST(AccessibilityTest, APanelsPaintedCaptionIsReadAndItsChangesAnnounced) {
    QWidget page;
    controls::Panel holder(&page, 40);
    controls::Panel caption(&page, 40);
    controls::Panel status(&page, 40);
    status.SetStatus(true);
    caption.SetText(QString::fromUtf8("10.12.2026 - собеседование по русскому языку в 9 классах"));

    EXPECT_EQ(InterfaceOf(holder)->role(), QAccessible::Pane);
    EXPECT_EQ(InterfaceOf(caption)->role(), QAccessible::StaticText);
    EXPECT_EQ(InterfaceOf(caption)->text(QAccessible::Name), caption.Text());
    EXPECT_EQ(InterfaceOf(status)->role(), QAccessible::StatusBar);
    EXPECT_EQ(InterfaceOf(status)->text(QAccessible::Name), "");

    controls::test::AccessibilityEvents events;
    ASSERT_TRUE(events.Active());
    status.SetText(QString::fromUtf8("Ошибка записи!"));
    EXPECT_EQ(InterfaceOf(status)->text(QAccessible::Name), QString::fromUtf8("Ошибка записи!"));
    EXPECT_EQ(events.Count(&status, QAccessible::NameChanged), 1);
    status.SetText(QString::fromUtf8("Ошибка записи!")); // the same caption again: nothing new
    EXPECT_EQ(events.Count(&status, QAccessible::NameChanged), 1);
    status.SetText(QString());
    EXPECT_EQ(events.Count(&status, QAccessible::NameChanged), 2);
    EXPECT_EQ(events.Count(&caption, QAccessible::NameChanged), 0);
}

void PressKey(QWidget& control, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&control, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(&control, &release);
}

// The names the station's pages give controls that show only a picture or a bar are what a
// screen reader announces, and what the tooltip shows.
TEST(AccessibilityTest, CaptionIsTheSpokenNameAndTheTooltip) {
    QWidget page;
    struct Case {
        const char* caption;
        std::function<std::unique_ptr<QWidget>()> make;
    };
    const Case cases[] = {
        {"Проверить микрофон",
         [&] {
             return std::make_unique<controls::ToggleButton>(&page, QRect(0, 0, 41, 41), nullptr,
                                                             nullptr, -1);
         }},
        {"Прослушать тестовую запись",
         [&] {
             return std::make_unique<controls::PictureButton>(&page, QRect(0, 0, 41, 41), QString(),
                                                              nullptr, -1, QFont());
         }},
        {"Уровень сигнала",
         [&] { return std::make_unique<controls::ProgressBar>(&page, QRect(0, 0, 300, 20)); }},
    };
    for (const Case& c : cases) {
        const auto control = c.make();
        const QString caption = QString::fromUtf8(c.caption);
        controls::SetAccessibleCaption(control.get(), caption);
        QAccessibleInterface* accessible = InterfaceOf(*control);
        ASSERT_NE(accessible, nullptr) << c.caption;
        EXPECT_EQ(accessible->text(QAccessible::Name), caption) << c.caption;
        EXPECT_EQ(control->toolTip(), caption) << c.caption;
    }
}

TEST(AccessibilityTest, LevelMeterReportsItsPosition) {
    QWidget page;
    controls::ProgressBar meter(&page, QRect(0, 0, 300, 20));
    meter.SetPosition(42);
    QAccessibleValueInterface* value = InterfaceOf(meter)->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), 42);
    EXPECT_EQ(value->maximumValue().toInt(), 100);
}

// A toggle button is seen as checkable, and its state follows clicks and the program alike.
TEST(AccessibilityTest, ToggleStateIsExposed) {
    QWidget page;
    controls::ToggleButton microphone(&page, QRect(0, 0, 41, 41), nullptr, nullptr, -1);
    QAccessibleInterface* accessible = InterfaceOf(microphone);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Button);
    EXPECT_TRUE(accessible->state().checkable);
    EXPECT_FALSE(accessible->state().checked);
    microphone.click();
    EXPECT_TRUE(accessible->state().checked);
    microphone.SetDown(false);
    EXPECT_FALSE(accessible->state().checked);
}

// Toggling through assistive technology is a click: the handler runs and the group rule holds, so
// the station never shows a microphone test as running that it has not started.
TEST(AccessibilityTest, AssistiveToggleRunsTheHandlerAndRaisesTheOthers) {
    QWidget page;
    controls::ToggleGroup group(&page);
    controls::ToggleButton microphone(&page, QRect(0, 0, 41, 41), &group, nullptr, -1);
    controls::ToggleButton playback(&page, QRect(0, 50, 41, 41), &group, nullptr, -1);
    std::vector<bool> seen;
    microphone.onClick = [&](QObject*) { seen.push_back(microphone.Down()); };
    playback.SetDown(true);

    QAccessibleActionInterface* actions = InterfaceOf(microphone)->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(microphone.Down());
    EXPECT_FALSE(playback.Down());
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(microphone.Down());
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));

    microphone.setEnabled(false);
    EXPECT_FALSE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(microphone.Down());
    EXPECT_EQ(seen.size(), 2u);
}

// Both kinds of button take the focus from Tab and a click, and Space, Enter and Return click the
// focused one; other keys do not.
TEST(AccessibilityTest, KeyboardActivatesButtons) {
    QWidget page;
    controls::ToggleButton toggle(&page, QRect(0, 0, 41, 41), nullptr, nullptr, -1);
    controls::PictureButton push(&page, QRect(0, 50, 100, 40), "Начать запись", nullptr, -1,
                                 QFont());
    int toggleClicks = 0, pushClicks = 0;
    toggle.onClick = [&](QObject*) { ++toggleClicks; };
    push.onClick = [&](QObject*) { ++pushClicks; };
    for (QWidget* button : {static_cast<QWidget*>(&toggle), static_cast<QWidget*>(&push)})
        EXPECT_EQ(button->focusPolicy(), Qt::StrongFocus);

    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool clicks;
    };
    const Case cases[] = {
        {Qt::Key_Space, Qt::NoModifier, true},     {Qt::Key_Return, Qt::NoModifier, true},
        {Qt::Key_Enter, Qt::KeypadModifier, true}, {Qt::Key_Return, Qt::ControlModifier, false},
        {Qt::Key_A, Qt::NoModifier, false},
    };
    for (const Case& c : cases) {
        const int toggleBefore = toggleClicks, pushBefore = pushClicks;
        const bool downBefore = toggle.Down();
        PressKey(toggle, c.key, c.modifiers);
        PressKey(push, c.key, c.modifiers);
        EXPECT_EQ(toggleClicks - toggleBefore, c.clicks ? 1 : 0) << c.key;
        EXPECT_EQ(pushClicks - pushBefore, c.clicks ? 1 : 0) << c.key;
        EXPECT_EQ(toggle.Down(), c.clicks ? !downBefore : downBefore) << c.key;
    }
}

} // namespace
