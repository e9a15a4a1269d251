#include "verifier/tool/ReplacedFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace interview_check::tool {
namespace {

std::string FolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

} // namespace

ReplacedFile::ReplacedFile(std::string path) : path_(std::move(path)) {
    struct stat facts {};
    if (::lstat(path_.c_str(), &facts) == 0 && !S_ISREG(facts.st_mode))
        throw OutputError("«" + path_ + "» — не обычный файл (ссылка, папка или устройство): " +
                          "страница не записывается на его место");
    std::vector<char> name(path_.begin(), path_.end());
    const std::string suffix = ".XXXXXX";
    name.insert(name.end(), suffix.begin(), suffix.end());
    name.push_back('\0');
    // mkstemp creates the file exclusively: a link planted under the name is never followed.
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0)
        Fail("не создаётся", errno);
    temporary_ = name.data();
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
}

ReplacedFile::~ReplacedFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !temporary_.empty())
        ::unlink(temporary_.c_str());
}

void ReplacedFile::Fail(const std::string& what, int error) const {
    throw OutputError("файл «" + path_ + "» " + what + " (" + std::strerror(error) + ")");
}

void ReplacedFile::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            Fail("не записывается", errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void ReplacedFile::Commit() {
    if (::fsync(fd_) != 0)
        Fail("не записывается на диск", errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        Fail("не записывается", errno);
    if (::rename(temporary_.c_str(), path_.c_str()) != 0)
        Fail("не ставится на место", errno);
    committed_ = true;
    // The rename itself lasts only once the folder is synced.
    const int folder = ::open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

} // namespace interview_check::tool
