// Message boxes behind a seam. The GUI backend installs the presenter that shows real boxes; tests
// install one that answers by script. Callable from any thread: off the GUI thread the box is
// handed to the GUI thread (Synchronize) and the call returns once the operator has closed it.
#pragma once

#include <functional>
#include <string>

namespace platform {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel };
enum class MessageResult { Ok, Cancel };

struct MessageBoxRequest {
    std::string text;
    std::string caption; // empty: the application's title
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Always runs on the GUI thread.
using MessageBoxPresenter = std::function<MessageResult(const MessageBoxRequest&)>;

// Installs `presenter` and returns the one it replaces. Without any presenter a box is written to
// standard error and answered with its safe choice (Cancel where there is one).
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);

MessageResult ShowMessageBox(const MessageBoxRequest& request);

// A plain box with the text and an OK button.
void ShowMessage(const std::string& text);

} // namespace platform
