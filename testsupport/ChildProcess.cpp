#include "testsupport/ChildProcess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace testsupport {

ChildProcess::ChildProcess(std::vector<std::string> words) {
    std::vector<char*> arguments;
    for (std::string& word : words)
        arguments.push_back(word.data());
    arguments.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (::posix_spawnp(&process_, arguments[0], &actions, nullptr, arguments.data(), environ) != 0)
        process_ = -1;
    ::posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    End();
}

bool ChildProcess::Ended() {
    if (process_ <= 0 || ended_)
        return true;
    int status = 0;
    ended_ = ::waitpid(process_, &status, WNOHANG) == process_;
    return ended_;
}

void ChildProcess::End() {
    if (Ended())
        return;
    ::kill(process_, SIGTERM);
    for (int i = 0; i < 40; ++i) {
        if (Ended())
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(process_, SIGKILL);
    ::waitpid(process_, nullptr, 0);
    ended_ = true;
}

} // namespace testsupport
