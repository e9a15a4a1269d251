// The core's questions and messages as message boxes.
#pragma once

#include "station/core/Prompt.h"
#include "station/core/StationObserver.h"

namespace station {

// Asks with a question box with OK and Cancel.
class MessageBoxPrompt : public Prompt {
public:
    bool Confirm(const Question& question) override;
};

// Shows what the operator must read: notices in a plain box, failures in an error box.
class MessageBoxReporter : public StationObserver {
public:
    void MessageForOperator(const OperatorMessage& message) override;
};

} // namespace station
