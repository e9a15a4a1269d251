#include "platform/MessageBox.h"
#include "platform/GuiHandler.h"
#include "platform/GuiHandover.h"
#include "testsupport/ScriptedMessageBoxes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;
using testsupport::ScriptedMessageBoxes;

TEST(MessageBoxTest, ScriptAnswersInOrderAndRecordsEveryBox) {
    ScriptedMessageBoxes boxes;
    boxes.Answer(MessageResult::Cancel);
    const platform::MessageBoxRequest question{"Вы уверены?", "Подтверждение",
                                               MessageIcon::Question, MessageButtons::OkCancel};
    EXPECT_EQ(platform::ShowMessageBox(question), MessageResult::Cancel);
    EXPECT_EQ(platform::ShowMessageBox(question), MessageResult::Ok);
    platform::ShowMessage("plain");
    const auto shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].caption, "Подтверждение");
    EXPECT_EQ(shown[0].icon, MessageIcon::Question);
    EXPECT_EQ(shown[2].text, "plain");
    EXPECT_EQ(shown[2].buttons, MessageButtons::Ok);
}

TEST(MessageBoxTest, WithoutPresenterTheSafeChoiceIsTaken) {
    auto previous = platform::SetMessageBoxPresenter({});
    EXPECT_EQ(platform::ShowMessageBox({"q", "", MessageIcon::Question, MessageButtons::OkCancel}),
              MessageResult::Cancel);
    platform::SetMessageBoxPresenter(std::move(previous));
}

// A box asked for on a worker is shown on the GUI thread, and the worker goes on only after it
// was answered.
TEST(MessageBoxTest, BoxFromAWorkerIsShownOnTheGuiThreadAndWaitsForTheAnswer) {
    ScriptedMessageBoxes boxes;
    boxes.Answer(MessageResult::Cancel);
    std::atomic<bool> shownOnGuiThread{false};
    auto scripted = platform::SetMessageBoxPresenter({});
    platform::SetMessageBoxPresenter([&](const platform::MessageBoxRequest& request) {
        shownOnGuiThread = platform::IsGuiThread();
        return scripted(request);
    });
    std::atomic<bool> done{false};
    MessageResult answer = MessageResult::Ok;
    std::thread worker([&] {
        answer = platform::ShowMessageBox(
            {"from worker", "", MessageIcon::None, MessageButtons::OkCancel});
        done = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done && std::chrono::steady_clock::now() < deadline) {
        platform::CheckSynchronize();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker.join();
    EXPECT_TRUE(shownOnGuiThread);
    EXPECT_EQ(answer, MessageResult::Cancel);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"from worker"});
    platform::SetMessageBoxPresenter(std::move(scripted));
}

TEST(GuiHandlerTest, AnEscapingExceptionIsShownAndSwallowed) {
    ScriptedMessageBoxes boxes;
    bool after = false;
    platform::RunGuiHandler([] { throw std::runtime_error("Cannot create file \"x\". No room"); });
    platform::RunGuiHandler([] { throw 42; });
    platform::RunGuiHandler([&] { after = true; });
    EXPECT_TRUE(after);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].text, "Cannot create file \"x\". No room");
    EXPECT_EQ(boxes.Shown()[0].icon, MessageIcon::Error);
    EXPECT_EQ(boxes.Shown()[1].text, "Unknown error");
}

} // namespace
