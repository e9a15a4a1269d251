// Facts of the file system that holds a path: the room left on it and the longest file name it
// takes. The station checks the Desktop's file system before and during an interview, so that a
// full disk or a name the system refuses is found before a recording is lost to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// The bytes that this (unprivileged) user may still write on the file system of `path` (which
// must exist). Raises FileError "Cannot read the free space of \"<path>\". <reason>".
std::uint64_t FreeBytes(const std::string& path);

// The longest name, in bytes of its encoded (UTF-8) form, that a folder or file inside `folder`
// may have. A folder that does not exist yet is asked through its nearest existing parent; where
// the system gives no figure, the platform's general limit.
std::size_t NameLimit(const std::string& folder);

} // namespace platform
