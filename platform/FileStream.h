// Files opened with an access kind and a share mode, as exam recordings and archives need them: a
// file opened without sharing cannot be opened again (by this or another process that uses this
// layer) until it is closed.
#pragma once

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
    CreateAlways  // creates the file, or empties an existing one
};

// A failure of a file operation; the message is complete and meant for the operator.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The platform's own text for an error number (as strerror gives it).
std::string SystemErrorText(int errorNumber);
// The text used when a file is held by another handle that does not share it.
extern const char* const SharingViolationText;

class FileHandle {
public:
    // Raises FileError "Cannot open file \"<path>\". <reason>" (or "Cannot create file ..." for
    // CreateAlways).
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
    int Descriptor() const { return fd_; }

private:
    explicit FileHandle(int fd) : fd_(fd) {}
    int fd_ = -1;
};

} // namespace platform
