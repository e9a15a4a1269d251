// For tests and benchmarks: a program run beside the test (a second recorder, a sound feed, a file
// system), ended with SIGTERM (SIGKILL if it does not go within 2 s) and reaped at the end of the
// scope.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

class ChildProcess {
public:
    // Runs `words[0]` (looked up on the PATH) with the rest as its arguments; the standard output
    // goes to /dev/null.
    explicit ChildProcess(std::vector<std::string> words);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return process_ > 0; }
    // Whether it has ended (it is reaped then).
    bool Ended();
    void End();

private:
    pid_t process_ = -1;
    bool ended_ = false;
};

} // namespace testsupport
