// Helpers for tests that talk to a real sound server: the shared private server of the test
// command (PULSE_SERVER), or one of the test's own where it must go away.
#pragma once

#include "platform/SoundSystem.h"
#include "platform/testing/TestSoundServer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace pulse_test {

// Sets PULSE_SERVER for the scope of one test and puts the old value back.
class ScopedPulseServer {
public:
    explicit ScopedPulseServer(const std::string& server) {
        if (const char* old = std::getenv("PULSE_SERVER"))
            old_ = old;
        setenv("PULSE_SERVER", server.c_str(), 1);
    }
    ~ScopedPulseServer() {
        if (old_.empty())
            unsetenv("PULSE_SERVER");
        else
            setenv("PULSE_SERVER", old_.c_str(), 1);
    }

private:
    std::string old_;
};

// A private server of this test alone, in a fresh folder; stopped at the end of the scope.
class OwnPulseServer {
public:
    OwnPulseServer() {
        char folder[] = "/tmp/station-own-pulse.XXXXXX";
        if (!mkdtemp(folder))
            return;
        folder_ = folder;
        started_ = Script("start") == 0;
    }
    ~OwnPulseServer() {
        Stop();
        if (!folder_.empty())
            std::system(("rm -rf '" + folder_ + "'").c_str());
    }
    bool Started() const { return started_; }
    std::string Address() const { return "unix:" + folder_ + "/native"; }
    void Stop() {
        if (started_)
            Script("stop");
        started_ = false;
    }

private:
    int Script(const char* command) const {
        const std::string line = std::string(STATION_SOURCE_DIR) +
                                 "/scripts/pulse-test-server.sh " + command + " '" + folder_ +
                                 "' >/dev/null 2>&1";
        return std::system(line.c_str());
    }
    std::string folder_;
    bool started_ = false;
};

// Root mean square of 16-bit samples.
inline double Rms(const std::int16_t* samples, std::size_t count) {
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    return count ? std::sqrt(sum / double(count)) : 0;
}

} // namespace pulse_test
