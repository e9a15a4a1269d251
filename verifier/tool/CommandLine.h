// interview-verify's command line.
#pragma once

#include "platform/FailureCause.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace interview_check::tool {

struct Options {
    bool json = false;
    bool verbose = false;
    bool decodeAudio = false;
    bool loudness = false; // also implied by Strict and HtmlPath
    bool strict = false;   // a warning makes the exit status 1
    std::string htmlPath;  // the page to write, or empty
    bool help = false;
    bool version = false;
    unsigned jobs = 0; // 0: one per core
    std::vector<std::string> paths;
};

// A command line that cannot be understood; what() says why, in Russian.
class UsageError : public platform::Failure {
public:
    using Failure::Failure;
};

Options ParseCommandLine(int argc, const char* const* argv);

std::string UsageText(unsigned defaultJobs);
std::string VersionText();

} // namespace interview_check::tool
