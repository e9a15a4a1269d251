#include "station/app/MessageBoxes.h"

#include "platform/MessageBox.h"

bool MessageBoxPrompt::Confirm(const Question& question) {
    return platform::ShowMessageBox({.text = question.text,
                                     .caption = question.caption,
                                     .icon = platform::MessageIcon::Question,
                                     .buttons = platform::MessageButtons::OkCancel}) ==
           platform::MessageResult::Ok;
}

void MessageBoxReporter::MessageForOperator(const OperatorMessage& message) {
    if (message.kind == OperatorMessage::Kind::Error)
        platform::ShowMessageBox(
            {message.text, {}, platform::MessageIcon::Error, platform::MessageButtons::Ok});
    else
        platform::ShowMessage(message.text);
}
