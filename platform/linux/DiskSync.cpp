#include "platform/DiskSync.h"

#include "platform/PathNames.h"
#include "platform/ThreadName.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

std::mutex observerLock;
DiskStepObserver observer;

} // namespace

void ObserveDiskSteps(DiskStepObserver newObserver) {
    std::lock_guard guard(observerLock);
    observer = std::move(newObserver);
}

void TellDiskStep(const DiskStep& step) {
    std::lock_guard guard(observerLock);
    if (observer)
        observer(step);
}

std::string FolderOfPath(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

namespace {

// The error number of the folder's sync, 0 when it succeeded.
int FolderSyncError(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    if (error == 0)
        TellDiskStep({DiskStep::Kind::FolderSynced, folder, {}, -1});
    return error;
}

} // namespace

void SyncFolder(const std::string& folder) {
    if (const int error = FolderSyncError(folder); error != 0)
        throw SystemFileError(error, "Cannot write folder \"" + folder + "\". ",
                              FailureKind::FileNotWritten);
}

void SyncFile(const std::string& path) {
    FileHandle file;
    try {
        file = FileHandle::Open(path, FileAccess::Read, FileShare::ReadWrite,
                                FileDisposition::OpenExisting);
    } catch (const FileError& failure) {
        throw FileError("Cannot write file \"" + path + "\". " + failure.what(), failure.Cause());
    }
    file.Sync();
}

void ReplaceFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        throw SystemFileError(errno, "Cannot create file \"" + to + "\". ",
                              FailureKind::FileNotCreated);
    TellDiskStep({DiskStep::Kind::Renamed, from, to, -1});
    if (const int error = FolderSyncError(FolderOfPath(to)); error != 0)
        throw SystemFileError(error, "Cannot write file \"" + to + "\". ",
                              FailureKind::FileNotWritten);
}

void RefuseLinkAt(const std::string& path) {
    struct stat facts {};
    if (::lstat(path.c_str(), &facts) == 0 && S_ISLNK(facts.st_mode))
        throw FileError("Cannot create file \"" + path + "\". " + SymbolicLinkText,
                        {FailureKind::SymbolicLink, 0});
}

namespace {

std::string RandomSuffix() {
    static constexpr char Letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof Letters - 2);
    std::string suffix(6, 'x');
    for (char& letter : suffix)
        letter = Letters[pick(generator)];
    return suffix;
}

struct FolderCloser {
    void operator()(DIR* folder) const { ::closedir(folder); }
};

} // namespace

std::string TemporaryPrefixFor(const std::string& finalPath) {
    return "." + FileNameOf(finalPath) + ".partial-";
}

FileHandle CreateTemporaryBeside(const std::string& finalPath, std::string& temporaryPath) {
    const std::string stem = FolderOfPath(finalPath) + "/" + TemporaryPrefixFor(finalPath);
    for (int attempt = 0;; ++attempt) {
        const std::string candidate = stem + RandomSuffix();
        struct stat facts {};
        // A name already taken is passed over; the exclusive creation below settles any race.
        if (attempt < 100 && ::lstat(candidate.c_str(), &facts) == 0)
            continue;
        try {
            FileHandle file = FileHandle::Open(candidate, FileAccess::ReadWrite, FileShare::None,
                                               FileDisposition::CreateNew);
            temporaryPath = candidate;
            return file;
        } catch (const FileError& failure) {
            // The operator knows the file by its final name, not by the hidden one.
            std::string text = failure.what();
            if (const auto at = text.find(candidate); at != std::string::npos)
                text.replace(at, candidate.size(), finalPath);
            throw FileError(text, failure.Cause());
        }
    }
}

int RemoveStaleTemporaries(const std::string& finalPath) {
    const std::string folder = FolderOfPath(finalPath);
    const std::string prefix = TemporaryPrefixFor(finalPath);
    std::unique_ptr<DIR, FolderCloser> listing(::opendir(folder.c_str()));
    if (!listing)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string name = entry->d_name;
        // unlinkat removes a link itself, never what it points to; a folder is left alone.
        if (name.starts_with(prefix) && ::unlinkat(::dirfd(listing.get()), entry->d_name, 0) == 0)
            ++removed;
    }
    // Best effort: a removal the disk forgets is found and removed again by the next writer.
    if (removed > 0)
        FolderSyncError(folder);
    return removed;
}

void ReplaceFileContent(const std::string& path, const std::string& content) {
    RefuseLinkAt(path);
    RemoveStaleTemporaries(path);
    std::string temporary;
    FileHandle file = CreateTemporaryBeside(path, temporary);
    try {
        errno = 0;
        const bool written = file.Write(content.data(), content.size()) == content.size();
        int error = written ? 0 : (errno ? errno : EIO);
        if (error == 0) {
            try {
                file.Sync();
            } catch (const FileError& failure) {
                error = failure.Cause().errorNumber;
            }
        }
        if (!file.Close() && error == 0)
            error = errno ? errno : EIO;
        // The operator knows the file by its final name, not by the temporary one.
        if (error != 0)
            throw SystemFileError(error, "Cannot write file \"" + path + "\". ",
                                  FailureKind::FileNotWritten);
        ReplaceFile(temporary, path);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

PeriodicSync::PeriodicSync(const FileHandle& file, std::chrono::milliseconds interval)
    : file_(file.Duplicate()), interval_(interval), thread_([this] { Run(); }) {}

PeriodicSync::~PeriodicSync() {
    Stop();
}

void PeriodicSync::Finish() {
    const std::string path = file_.Path();
    if (const int error = Stop(); error != 0)
        throw SystemFileError(error, "Cannot write file \"" + path + "\". ",
                              FailureKind::FileNotWritten);
}

int PeriodicSync::Stop() {
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
    file_.Close();
    return failure_;
}

void PeriodicSync::Run() {
    NameCurrentThread("disk-sync");
    // The file's name first: data synced under a name the disk never learnt would be lost too.
    int failure = FolderSyncError(FolderOfPath(file_.Path()));
    std::unique_lock guard(lock_);
    while (!stopping_) {
        if (wake_.wait_for(guard, interval_, [this] { return stopping_; }))
            break;
        guard.unlock();
        try {
            file_.SyncData();
        } catch (const FileError& error) {
            if (failure == 0)
                failure = error.Cause().errorNumber;
        }
        guard.lock();
    }
    failure_ = failure;
}

} // namespace platform
