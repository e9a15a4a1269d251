// The core's one way to say how a step went: done, or the message the operator is to read about
// why not. The failures of the layers below arrive as exceptions; the core turns them into an
// Outcome where it calls them (Attempt), and tells the operator through its observers, never
// letting a failure escape to the GUI loop.
#pragma once

#include "station/core/StationObserver.h"

#include <optional>
#include <string>
#include <utility>

namespace station {

class [[nodiscard]] Outcome {
public:
    static Outcome Done() { return Outcome(); }
    static Outcome Failed(OperatorMessage message) { return Outcome(std::move(message)); }
    // A refusal the operator can clear: a plain box.
    static Outcome Failed(std::string text) { return Failed(OperatorMessage{std::move(text)}); }

    bool Ok() const { return !message_; }
    explicit operator bool() const { return Ok(); }
    // Why the step failed; only for an outcome that is not Ok.
    const OperatorMessage& Message() const { return *message_; }

private:
    Outcome() = default;
    explicit Outcome(OperatorMessage message) : message_(std::move(message)) {}

    std::optional<OperatorMessage> message_;
};

} // namespace station
