#include "station/core/Attempt.h"

#include "station/safeguards/OperatorMessages.h"

#include <exception>

namespace station {

std::optional<OperatorMessage> Attempt(const std::function<void()>& step) {
    try {
        step();
        return std::nullopt;
    } catch (const std::exception& failure) {
        return OperatorMessage{OperatorText(failure), OperatorMessage::Kind::Error};
    } catch (...) {
        return OperatorMessage{"Unknown error", OperatorMessage::Kind::Error};
    }
}

} // namespace station
