#include "platform/FileSystemFacts.h"

#include "platform/FileStream.h"

#include <cerrno>
#include <climits>
#include <filesystem>
#include <sys/statvfs.h>
#include <unistd.h>

namespace platform {

std::uint64_t FreeBytes(const std::string& path) {
    struct statvfs facts {};
    if (::statvfs(path.c_str(), &facts) != 0) {
        const int error = errno;
        throw SystemFileError(error, "Cannot read the free space of \"" + path + "\". ");
    }
    return std::uint64_t(facts.f_bavail) * std::uint64_t(facts.f_frsize);
}

std::size_t NameLimit(const std::string& folder) {
    std::filesystem::path probe =
        folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
    std::error_code ignored;
    while (!std::filesystem::exists(probe, ignored) && probe.has_relative_path())
        probe = probe.parent_path().empty() ? std::filesystem::path(".") : probe.parent_path();
    errno = 0;
    const long limit = ::pathconf(probe.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : std::size_t{NAME_MAX};
}

} // namespace platform
