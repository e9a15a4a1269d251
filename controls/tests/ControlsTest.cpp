#include "controls/ImageList.h"
#include "controls/LevelStrip.h"
#include "controls/Panel.h"
#include "controls/PictureButton.h"
#include "controls/ProgressBar.h"
#include "controls/Timer.h"
#include "controls/ToggleButton.h"
#include "testsupport/QtTestApplication.h"
#include "testsupport/ScriptedMessageBoxes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using testsupport::ScriptedMessageBoxes;

// Picture buttons of one group: a click lowers a raised button and raises the others; a click on a
// lowered button raises it; the handler sees the state after the click.
TEST(ToggleButtonTest, GroupAllowsAllUpAndAtMostOneDown) {
    QWidget page;
    controls::ToggleGroup group(&page);
    controls::ToggleButton microphone(&page, QRect(0, 0, 41, 41), &group, nullptr, -1);
    controls::ToggleButton playback(&page, QRect(0, 50, 41, 41), &group, nullptr, -1);
    std::vector<bool> seen;
    microphone.onClick = [&](QObject* sender) {
        EXPECT_EQ(sender, &microphone);
        seen.push_back(microphone.Down());
    };

    microphone.click();
    EXPECT_TRUE(microphone.Down());
    playback.click();
    EXPECT_TRUE(playback.Down());
    EXPECT_FALSE(microphone.Down());
    playback.click();
    EXPECT_FALSE(playback.Down());
    EXPECT_FALSE(microphone.Down());
    microphone.click();
    microphone.click();
    EXPECT_EQ(seen, (std::vector<bool>{true, true, false}));

    playback.SetDown(true);
    EXPECT_TRUE(playback.Down());
    EXPECT_EQ(seen.size(), 3u); // setting the state raises no event
}

// Newest bar at the right, its height in proportion, a silent second marked over the whole height.
TEST(LevelStripTest, BarsStandAtTheRightWithSilenceMarked) {
    QWidget page;
    controls::LevelStrip strip(&page, QRect(0, 0, 122, 42), 120, 2);
    strip.SetBars({100, 50, 1});
    const QImage picture = strip.grab().toImage();
    const auto colourAt = [&](int slot, int y) { return picture.pixelColor(1 + slot, y); };
    const QColor bar(0x3a, 0x6e, 0xa5);
    const QColor silent(0xf4, 0xb4, 0xb4);
    EXPECT_EQ(colourAt(119, 2), silent);
    EXPECT_EQ(colourAt(119, 39), silent);
    EXPECT_EQ(colourAt(118, 39), bar);
    EXPECT_EQ(colourAt(118, 30), bar);
    EXPECT_NE(colourAt(118, 10), bar); // half height
    EXPECT_EQ(colourAt(117, 2), bar);  // full height
    EXPECT_NE(colourAt(116, 39), bar); // no bar before the first second
    EXPECT_NE(colourAt(116, 39), silent);
}

TEST(ProgressBarTest, PositionStaysWithinTheRange) {
    QWidget page;
    controls::ProgressBar meter(&page, QRect(8, 12, 898, 33));
    for (const auto& [asked, shown] : std::vector<std::pair<long long, int>>{
             {50, 50}, {100, 100}, {101, 100}, {1LL << 40, 100}, {-1, 0}, {0, 0}}) {
        meter.SetPosition(asked);
        EXPECT_EQ(meter.Position(), shown) << asked;
    }
    EXPECT_FALSE(meter.isTextVisible());
}

TEST(ImageListTest, EveryPictureTheStationNamesIsCompiledInAndDrawn) {
    QObject owner;
    controls::ImageList images(&owner, 30,
                               {"accept_button", "add_package", "sound", "microphone",
                                "control_play_blue", "control_stop_blue", "client_account_template",
                                "tick", "stop", "door_open"});
    for (int index = 0; index < images.Count(); ++index) {
        EXPECT_TRUE(controls::PictureExists(images.Name(index)))
            << images.Name(index).toStdString();
        const QImage picture = images.Picture(index).toImage();
        ASSERT_EQ(picture.size(), QSize(30, 30));
        int opaque = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                opaque += qAlpha(picture.pixel(x, y)) > 128;
        EXPECT_GT(opaque, 60) << images.Name(index).toStdString();
    }
    EXPECT_TRUE(images.Picture(images.Count()).isNull());
    EXPECT_TRUE(images.Picture(-1).isNull());
}

TEST(PanelTest, ContentBlockStaysCentredWhenTheWindowIsResized) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* panel = new controls::Panel(&window, 241);
    layout->addWidget(panel);
    QWidget* block = panel->AddContentBlock(195);
    for (const int width : {1300, 1600, 1001}) {
        window.resize(width, 400);
        window.show();
        QApplication::processEvents();
        layout->activate();
        panel->layout()->activate();
        EXPECT_EQ(block->width(), controls::ContentBlockWidth);
        EXPECT_EQ(block->height(), 195);
        EXPECT_NEAR(block->x(), (width - controls::ContentBlockWidth) / 2, 1) << width;
    }
}

TEST(EventTest, AFailingHandlerIsShownAndTheNextClickStillWorks) {
    ScriptedMessageBoxes boxes;
    QWidget page;
    controls::PictureButton button(&page, QRect(0, 0, 100, 40), "Начать запись", nullptr, -1,
                                   QFont());
    int clicks = 0;
    button.onClick = [&](QObject*) {
        if (++clicks == 1)
            throw std::runtime_error("Component is Busy");
    };
    button.click();
    button.click();
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Component is Busy"});
}

TEST(TimerTest, TicksWhileEnabledAndEnablingAgainKeepsItsRhythm) {
    QObject owner;
    controls::Timer timer(&owner, 20);
    EXPECT_FALSE(timer.Enabled());
    int ticks = 0;
    timer.onTimer = [&](QObject* sender) {
        EXPECT_EQ(sender, &timer);
        ++ticks;
    };
    timer.SetEnabled(true);
    const int remaining = timer.remainingTime();
    timer.SetEnabled(true);
    EXPECT_LE(timer.remainingTime(), remaining);
    QElapsedTimer clock;
    clock.start();
    while (ticks < 3 && clock.elapsed() < 10'000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_GE(ticks, 3);
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Enabled());
}

} // namespace
