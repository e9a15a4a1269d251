// The parts of a path as the station's files are named: "/" between folders, nothing else.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The last part of `path`, without its folder: the name a person knows the file by. The whole path
// when it has no folder.
inline std::string FileNameOf(std::string_view path) {
    return std::string(path.substr(path.find_last_of('/') + 1));
}

} // namespace platform
