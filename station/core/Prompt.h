// Questions the core asks the operator before a step that cannot be undone.
#pragma once

#include <string>

namespace station {

struct Question {
    std::string text;
    std::string caption; // empty: the application's title
};

class Prompt {
public:
    virtual ~Prompt() = default;
    // Whether the operator answered OK (rather than Cancel). Called on the GUI thread.
    virtual bool Confirm(const Question& question) = 0;
};

} // namespace station
