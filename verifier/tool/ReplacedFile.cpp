#include "verifier/tool/ReplacedFile.h"

#include "platform/DiskSync.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

namespace interview_check::tool {

ReplacedFile::ReplacedFile(std::string path) : path_(std::move(path)) {
    struct stat facts {};
    if (::lstat(path_.c_str(), &facts) == 0 && !S_ISREG(facts.st_mode))
        throw OutputError("«" + path_ + "» — не обычный файл (ссылка, папка или устройство): " +
                          "страница не записывается на его место");
    try {
        platform::RemoveStaleTemporaries(path_);
        file_ = platform::CreateTemporaryBeside(path_, temporary_);
    } catch (const platform::FileError& failure) {
        Fail("не создаётся", failure.what());
    }
}

ReplacedFile::~ReplacedFile() {
    if (!committed_ && !temporary_.empty()) {
        file_ = platform::FileHandle();
        std::remove(temporary_.c_str());
    }
}

void ReplacedFile::Fail(const std::string& what, const std::string& reason) const {
    throw OutputError("файл «" + path_ + "» " + what + " (" + reason + ")");
}

void ReplacedFile::Write(std::string_view bytes) {
    errno = 0;
    if (file_.Write(bytes.data(), bytes.size()) != bytes.size())
        Fail("не записывается", platform::SystemErrorText(errno ? errno : EIO));
}

void ReplacedFile::Commit() {
    try {
        file_.Sync();
    } catch (const platform::FileError& failure) {
        Fail("не записывается на диск", platform::SystemErrorText(failure.Cause().errorNumber));
    }
    if (!file_.Close())
        Fail("не записывается", platform::SystemErrorText(errno ? errno : EIO));
    try {
        platform::ReplaceFile(temporary_, path_);
    } catch (const platform::FileError& failure) {
        Fail("не ставится на место", failure.what());
    }
    committed_ = true;
}

} // namespace interview_check::tool
