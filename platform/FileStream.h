// Files opened with an access kind and a share mode, as exam recordings and archives need them: a
// file opened without sharing cannot be opened again (by this or another process that uses this
// layer) until it is closed.
#pragma once

#include "platform/FailureCause.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

enum class FileAccess { Read, Write, ReadWrite };
// What others may do with the file while this handle is open.
enum class FileShare { None, Read, Write, ReadWrite };
enum class FileDisposition {
    OpenExisting, // fails when the file is missing
    CreateAlways, // creates the file, or empties an existing one
    CreateNew     // creates the file; fails when anything (a link included) has its name
};

// A failure of a file operation; the message is complete and meant for the operator.
class FileError : public Failure {
public:
    using Failure::Failure;
};

// The platform's own text for an error number (as strerror gives it).
std::string SystemErrorText(int errorNumber);
// The FileError "<lead><the system's text>" for a call that failed with `errorNumber`, its cause
// the errno's (or `otherwise` where the errno names none).
FileError SystemFileError(int errorNumber, const std::string& lead = {},
                          FailureKind otherwise = FailureKind::Other);
// The text used when a file is held by another handle that does not share it.
extern const char* const SharingViolationText;

// The reason a file refuses to be opened because its name is a symbolic link: a planted link must
// never redirect what the station writes or reads.
extern const char* const SymbolicLinkText;
// The reason for anything that is neither a regular file nor a folder (a FIFO, a device, a
// socket): opening one could block for ever or read without end.
extern const char* const NotRegularFileText;

class FileHandle {
public:
    // Only regular files open, never through a symbolic link at the last part of the path, and
    // without waiting on a FIFO. Raises FileError "Cannot open file \"<path>\". <reason>" (or
    // "Cannot create file ..." for CreateAlways and CreateNew).
    static FileHandle Open(const std::string& path, FileAccess access, FileShare share,
                           FileDisposition disposition);

    FileHandle() = default;
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();

    bool IsOpen() const { return fd_ >= 0; }
    // Reads up to `count` bytes; returns how many were read (0 at the end). Raises FileError on a
    // read failure.
    std::size_t Read(void* buffer, std::size_t count);
    // Writes `count` bytes; returns how many were written, which is less than `count` only when the
    // system refused the rest (a full disk, a size limit). errno then tells why.
    std::size_t Write(const void* buffer, std::size_t count);
    // Origin as lseek's whence (SEEK_SET, SEEK_CUR, SEEK_END); returns the new position.
    std::int64_t Seek(std::int64_t offset, int origin);
    std::int64_t Size() const;
    void Truncate(std::int64_t length);
    // Returns false when the system reported a failure while closing: on some file systems a
    // write error only shows there, so a caller that must know its data landed checks it.
    bool Close();
    // Hand the file's data (SyncData) or its data and facts (Sync) to the disk and wait until it
    // has them. Raise FileError "Cannot write file \"<path>\". <reason>".
    void SyncData();
    void Sync();
    // A second handle on the same open file (its position and lock shared with this one). Raises
    // FileError.
    FileHandle Duplicate() const;
    int Descriptor() const { return fd_; }
    const std::string& Path() const { return path_; }

private:
    FileHandle(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    int fd_ = -1;
    std::string path_;
};

} // namespace platform
