// A sound server of a test's own, for tests that take the server or its devices away (the shared
// one must keep running): started with the project's script, PULSE_SERVER pointing to it while it
// lives.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

namespace coretest {

class PrivateSoundServer {
public:
    PrivateSoundServer()
        : folder_(std::filesystem::temp_directory_path() /
                  ("pulse-own-" + std::to_string(::getpid()))) {
        if (const char* old = std::getenv("PULSE_SERVER"))
            saved_ = old;
        Script("start");
        ::setenv("PULSE_SERVER", ("unix:" + (folder_ / "native").string()).c_str(), 1);
    }
    ~PrivateSoundServer() {
        Stop();
        if (saved_)
            ::setenv("PULSE_SERVER", saved_->c_str(), 1);
        else
            ::unsetenv("PULSE_SERVER");
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    PrivateSoundServer(const PrivateSoundServer&) = delete;
    PrivateSoundServer& operator=(const PrivateSoundServer&) = delete;

    void Stop() { Script("stop"); }
    // Runs a shell command line against this server (pactl ...); false when it fails.
    bool Run(const std::string& line) const {
        return std::system((line + " >/dev/null 2>&1").c_str()) == 0;
    }

private:
    void Script(const char* command) const {
        const std::string line = std::string(STATION_SOURCE_DIR) +
                                 "/scripts/pulse-test-server.sh " + command + " " +
                                 folder_.string() + " >/dev/null 2>&1";
        if (std::system(line.c_str()) != 0)
            ADD_FAILURE() << line;
    }
    std::filesystem::path folder_;
    std::optional<std::string> saved_;
};

// The server comes first in a fixture: the station is built on it and is gone before it.
struct ServerHolder {
    ServerHolder() { server_.emplace(); }
    std::optional<PrivateSoundServer> server_;
};

} // namespace coretest
