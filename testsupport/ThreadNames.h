// The names of this process's threads as the system shows them (/proc/self/task/*/comm), for tests
// of the names the station gives its threads.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

inline std::vector<std::string> ThreadNames() {
    std::vector<std::string> names;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        if (std::string name; std::getline(comm, name))
            names.push_back(name);
    }
    return names;
}

} // namespace testsupport
