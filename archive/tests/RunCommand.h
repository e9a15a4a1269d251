// Runs an independent reader (unzip, Python) on a file the test wrote.
#pragma once

#include <array>
#include <cstdio>
#include <string>

namespace archive::testing {

struct CommandResult {
    int ExitCode = -1;
    std::string Output;
};

inline CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer{};
    while (std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe))
        result.Output.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace archive::testing
