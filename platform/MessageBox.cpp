#include "platform/MessageBox.h"

#include "platform/GuiHandover.h"

#include <cstdio>
#include <mutex>

namespace platform {
namespace {

std::mutex presenterLock;
MessageBoxPresenter& Presenter() {
    static MessageBoxPresenter presenter;
    return presenter;
}

MessageResult PresentOnGuiThread(const MessageBoxRequest& request) {
    MessageBoxPresenter presenter;
    {
        std::lock_guard guard(presenterLock);
        presenter = Presenter();
    }
    if (presenter)
        return presenter(request);
    std::fprintf(stderr, "%s\n", request.text.c_str());
    return request.buttons == MessageButtons::Ok ? MessageResult::Ok : MessageResult::Cancel;
}

} // namespace

MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter) {
    std::lock_guard guard(presenterLock);
    std::swap(Presenter(), presenter);
    return presenter;
}

MessageResult ShowMessageBox(const MessageBoxRequest& request) {
    MessageResult result = MessageResult::Cancel;
    Synchronize([&] { result = PresentOnGuiThread(request); });
    return result;
}

void ShowMessage(const std::string& text) {
    ShowMessageBox({text});
}

} // namespace platform
