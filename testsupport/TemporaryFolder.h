// For tests: a fresh folder under the system's temporary folder, removed with everything in it
// (read-only parts included) when the object goes.
#pragma once

#include <string>

namespace testsupport {

class TemporaryFolder {
public:
    // The folder's name begins with `prefix`; the rest makes it unique.
    explicit TemporaryFolder(const std::string& prefix = "station-test");
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return path_; }
    // The full path of `relative` inside the folder; nothing is created.
    std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }
    // Creates the sub-folder (and its parents) and returns its full path.
    std::string Folder(const std::string& relative) const;
    // Writes `content` into the file (creating its folders) and returns its full path.
    std::string File(const std::string& relative, const std::string& content) const;

private:
    std::string path_;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

} // namespace testsupport
