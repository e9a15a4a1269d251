// interview-verify's command line.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace interview_check::tool {

struct Options {
    bool Json = false;
    bool Verbose = false;
    bool DecodeAudio = false;
    bool Loudness = false; // also implied by Strict and HtmlPath
    bool Strict = false;   // a warning makes the exit status 1
    std::string HtmlPath;  // the page to write, or empty
    bool Help = false;
    bool Version = false;
    unsigned Jobs = 0; // 0: one per core
    std::vector<std::string> Paths;
};

// A command line that cannot be understood; what() says why, in Russian.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Options ParseCommandLine(int argc, const char* const* argv);

std::string UsageText(unsigned defaultJobs);
std::string VersionText();

} // namespace interview_check::tool
