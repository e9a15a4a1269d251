// What the receiver named on the command line, turned into the archives to check.
#pragma once

#include <string>
#include <vector>

namespace interview_check::tool {

struct Target {
    std::string path;
    std::string unreadable; // why the path could not be read at all; empty when it can be checked
};

// Each path in order: a file is an archive to check whatever its name; a folder gives every
// file ending in ".zip" (any case) in it and its subfolders, sorted by path, where anything else so
// named (a pipe, a device, a link to nothing) is a target that cannot be read; a path that does not
// exist, a folder that cannot be listed and a folder without archives are targets that cannot be
// read.
std::vector<Target> CollectTargets(const std::vector<std::string>& paths);

} // namespace interview_check::tool
