#include "testsupport/OwnSoundServer.h"

#include <cstdlib>

namespace testsupport {

OwnSoundServer::OwnSoundServer() {
    running_ = Script("start");
}

OwnSoundServer::~OwnSoundServer() {
    Stop();
}

void OwnSoundServer::Stop() {
    if (running_)
        Script("stop");
    running_ = false;
}

bool OwnSoundServer::Run(const std::string& line) {
    return std::system((line + " >/dev/null 2>&1").c_str()) == 0;
}

bool OwnSoundServer::Script(const char* command) const {
    return Run(std::string("'" STATION_TEST_SERVER_SCRIPT "' ") + command + " '" + folder_.Path() +
               "'");
}

} // namespace testsupport
