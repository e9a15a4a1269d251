// An output file that appears whole or not at all: written beside its final name, synced, then
// put in place by rename. A name that is a link, a folder, a pipe or a device is refused before
// anything is written, so nothing is written through a link and nothing waits on a pipe.
#pragma once

#include "platform/FailureCause.h"
#include "platform/FileStream.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace interview_check::tool {

// Why the file could not be written, in Russian with the system's text after it.
class OutputError : public platform::Failure {
public:
    using Failure::Failure;
};

class ReplacedFile {
public:
    explicit ReplacedFile(std::string path);
    // Removes the unfinished file unless Commit succeeded.
    ~ReplacedFile();
    ReplacedFile(const ReplacedFile&) = delete;
    ReplacedFile& operator=(const ReplacedFile&) = delete;

    void Write(std::string_view bytes);
    void Commit();

private:
    [[noreturn]] void Fail(const std::string& what, const std::string& reason) const;

    std::string path_;
    std::string temporary_;
    platform::FileHandle file_;
    bool committed_ = false;
};

} // namespace interview_check::tool
