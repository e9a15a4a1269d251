#include "station/core/Attempt.h"

#include "station/safeguards/OperatorMessages.h"

#include <exception>

namespace station {

Outcome Attempt(const std::function<void()>& step) {
    try {
        step();
        return Outcome::Done();
    } catch (const std::exception& failure) {
        return Outcome::Failed({OperatorText(failure), OperatorMessage::Kind::Error});
    } catch (...) {
        return Outcome::Failed({"Unknown error", OperatorMessage::Kind::Error});
    }
}

} // namespace station
