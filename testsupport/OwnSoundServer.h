// For tests that take the sound server or its devices away: a server of the test's own (the shared
// one of the test command must keep running), started with the project's script in a fresh folder
// and stopped with it at the end of the scope. It does not point PULSE_SERVER at itself; a test
// does that with a ScopedEnvironmentVariable for as long as it needs.
#pragma once

#include "testsupport/TemporaryFolder.h"

#include <string>

namespace testsupport {

class OwnSoundServer {
public:
    OwnSoundServer();
    ~OwnSoundServer();
    OwnSoundServer(const OwnSoundServer&) = delete;
    OwnSoundServer& operator=(const OwnSoundServer&) = delete;

    // False when the script could not start the server (no PulseAudio installed, say).
    bool Started() const { return running_; }
    std::string Address() const { return "unix:" + folder_.Path() + "/native"; }
    // The server's end as a crash or a logout brings it, under whatever is connected.
    void Stop();
    // Runs a shell command line quietly (pactl ... against this server when PULSE_SERVER points
    // here); false when it fails.
    static bool Run(const std::string& line);

private:
    bool Script(const char* command) const;

    TemporaryFolder folder_{"station-own-pulse"};
    bool running_ = false;
};

} // namespace testsupport
