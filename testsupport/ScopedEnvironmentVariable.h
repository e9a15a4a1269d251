// For tests: sets (or removes) an environment variable for the life of the object and puts the
// value it had back afterwards, so that one test's server, home or time zone never leaks into the
// next.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace testsupport {

class ScopedEnvironmentVariable {
public:
    // A null `value` removes the variable for the scope.
    ScopedEnvironmentVariable(std::string name, const char* value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str()))
            saved_ = old;
        Set(value);
    }
    ScopedEnvironmentVariable(std::string name, const std::string& value)
        : ScopedEnvironmentVariable(std::move(name), value.c_str()) {}
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;
    ~ScopedEnvironmentVariable() { Set(saved_ ? saved_->c_str() : nullptr); }

    // Changes the value again within the scope; the original still comes back at its end.
    void Set(const char* value) const {
        if (value)
            ::setenv(name_.c_str(), value, 1);
        else
            ::unsetenv(name_.c_str());
    }

private:
    std::string name_;
    std::optional<std::string> saved_;
};

} // namespace testsupport
