// The application-wide rule for failures in GUI handlers: an exception that escapes a handler ends
// that handler, its message is shown in a message box, and the program goes on.
#pragma once

#include <exception>
#include <functional>

namespace platform {

// Runs `handler`; an exception escaping it is shown (ShowFailure) and not passed on.
void RunGuiHandler(const std::function<void()>& handler);

// Shows the message of a caught exception in an error box.
void ShowFailure(const std::exception_ptr& failure);

} // namespace platform
