// Getting files to the disk itself, not only to the system's cache: a power cut loses whatever the
// cache held. A file that matters is synced after its last write, a new or renamed name is only
// safe once its folder is synced too, and a file is replaced by renaming a synced copy over it, so
// that the name always leads to a whole file, the old one or the new one.
#pragma once

#include "platform/FileStream.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

// One step that makes something durable, as the file layer takes it.
struct DiskStep {
    enum class Kind { DataSynced, FileSynced, FolderSynced, Renamed };
    Kind kind;
    std::string path;   // the file or folder synced; the old name of a rename
    std::string target; // the new name of a rename
    std::int64_t size;  // the file's size when it was synced, -1 for a folder or a rename
};
using DiskStepObserver = std::function<void(const DiskStep&)>;

// Every later sync and rename of this layer is told to `observer` (an empty one ends it), on the
// thread that takes the step. For tests, which watch the order of the steps.
void ObserveDiskSteps(DiskStepObserver observer);
// Tells the observer, if any; for the layer's own steps.
void TellDiskStep(const DiskStep& step);

// Syncs the folder itself, so that the names created, removed or renamed in it survive a power
// cut. Raises FileError "Cannot write folder \"<folder>\". <reason>".
void SyncFolder(const std::string& folder);
// Syncs the named file's data and facts (it is opened without following a link). Raises FileError
// "Cannot write file \"<path>\". <reason>".
void SyncFile(const std::string& path);
// Renames `from` over `to` (both in the same folder) and syncs that folder. Raises FileError
// "Cannot create file \"<to>\". <reason>" (the name the operator knows) or "Cannot write file ...".
void ReplaceFile(const std::string& from, const std::string& to);
// The folder part of a path ("." when there is none).
std::string FolderOfPath(const std::string& path);

// Raises FileError "Cannot create file \"<path>\". <SymbolicLinkText>" when a symbolic link sits
// at `path`: whatever a link points to is never replaced through it, and the operator is told.
void RefuseLinkAt(const std::string& path);

// Temporary files beside a final name are hidden ("." first) and named after it:
// ".<name>.partial-XXXXXX". No reader takes one for the file itself, and the next writer of the
// same name finds and removes what a crash left.
std::string TemporaryPrefixFor(const std::string& finalPath);
// Creates a new temporary file beside `finalPath` (never through a link, never an existing one);
// `temporaryPath` receives its name. Raises FileError.
FileHandle CreateTemporaryBeside(const std::string& finalPath, std::string& temporaryPath);
// Removes what earlier writers of `finalPath` left behind; returns how many were removed.
int RemoveStaleTemporaries(const std::string& finalPath);

// Replaces the file at `path` by `content` so that a crash or a power cut at any moment leaves the
// old file or the new one under the name, never a part: the content goes to a temporary file
// beside it (what an earlier crash left there is removed first), which is synced and renamed over
// the old one, and then the folder is synced. Raises
// FileError "Cannot create file \"<path>\". <reason>" or "Cannot write file \"<path>\". <reason>";
// the temporary file is gone then.
void ReplaceFileContent(const std::string& path, const std::string& content);

// A file being written is synced on a thread of its own while the writer goes on: first its folder
// (the file's new name), then its data every `interval`. The writer never waits for the disk, and
// a power cut costs at most the data of the last interval and the sync that was under way. The
// thread works on a duplicate of the handle's descriptor, so the handle may be written meanwhile;
// destroy this object before closing the handle (the duplicate shares its lock).
class PeriodicSync {
public:
    PeriodicSync(const FileHandle& file, std::chrono::milliseconds interval);
    ~PeriodicSync();
    PeriodicSync(const PeriodicSync&) = delete;
    PeriodicSync& operator=(const PeriodicSync&) = delete;

    // Ends the thread after the step it is taking. Raises FileError "Cannot write file
    // \"<path>\". <reason>" for the first sync that failed: data whose sync failed may be lost, so
    // the writer must not count the file as whole.
    void Finish();

private:
    void Run();
    // Ends the thread; the error number of the first failed sync, 0 when none failed.
    int Stop();

    FileHandle file_;
    const std::chrono::milliseconds interval_;
    std::mutex lock_;
    std::condition_variable wake_;
    bool stopping_ = false;
    int failure_ = 0;
    std::thread thread_;
};

} // namespace platform
