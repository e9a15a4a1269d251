#include "platform/GuiHandler.h"

#include "platform/MessageBox.h"

#include <stdexcept>

namespace platform {

void ShowFailure(const std::exception_ptr& failure) {
    std::string text;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        text = error.what();
    } catch (...) {
        text = "Unknown error";
    }
    ShowMessageBox({text, {}, MessageIcon::Error, MessageButtons::Ok});
}

void RunGuiHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        ShowFailure(std::current_exception());
    }
}

} // namespace platform
