// The station's tests that take the server or its devices away (the shared one must keep running)
// build the station on a sound server of their own, PULSE_SERVER pointing to it while it lives.
#pragma once

#include "testsupport/OwnSoundServer.h"
#include "testsupport/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace station::coretest {

class PrivateSoundServer {
public:
    PrivateSoundServer() {
        if (!server_.Started())
            ADD_FAILURE() << "the project's script could not start a sound server";
    }

    void Stop() { server_.Stop(); }
    // Runs a shell command line against this server (pactl ...); false when it fails.
    bool Run(const std::string& line) const { return testsupport::OwnSoundServer::Run(line); }

private:
    testsupport::OwnSoundServer server_;
    testsupport::ScopedEnvironmentVariable address_{"PULSE_SERVER", server_.Address()};
};

// The server comes first in a fixture: the station is built on it and is gone before it.
struct ServerHolder {
    ServerHolder() { server_.emplace(); }
    std::optional<PrivateSoundServer> server_;
};

} // namespace station::coretest
