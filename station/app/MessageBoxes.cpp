#include "station/app/MessageBoxes.h"

#include "platform/MessageBox.h"

namespace station {

bool MessageBoxPrompt::Confirm(const Question& question) {
    return platform::ShowMessageBox({.text = question.text,
                                     .caption = question.caption,
                                     .icon = platform::MessageIcon::Question,
                                     .buttons = platform::MessageButtons::OkCancel}) ==
           platform::MessageResult::Ok;
}

void MessageBoxReporter::MessageForOperator(const OperatorMessage& message) {
    switch (message.kind) {
    case OperatorMessage::Kind::Error:
        platform::ShowMessageBox(
            {message.text, {}, platform::MessageIcon::Error, platform::MessageButtons::Ok});
        return;
    case OperatorMessage::Kind::Warning:
        platform::ShowMessageBox(
            {message.text, {}, platform::MessageIcon::Warning, platform::MessageButtons::Ok});
        return;
    case OperatorMessage::Kind::Notice:
        break;
    }
    platform::ShowMessage(message.text);
}

} // namespace station
