// Why something failed, as data: set by the layer that saw the failure happen (the sound server's
// answer, the errno of the failed call, the loader that found no library) and carried by the
// exception it raises, so that whoever tells the operator never has to read the cause back out of
// the message's English words. The messages themselves stay what they always were.
#pragma once

#include <cerrno>
#include <exception>
#include <stdexcept>
#include <string>

namespace platform {

enum class FailureKind {
    Other,
    MicrophoneGone, // the capture device went away (or was replaced) under a running capture
    NoMicrophone,   // no capture device, or one that could not be opened or stopped delivering
    NoSoundServer,  // no sound server answers, or it went away
    DiskFull,       // no space left, or the user's quota used up
    NoAccess,       // the file or folder may not be written (permissions, a read-only system)
    LibraryMissing, // a run-time loaded library (or an entry point of it) cannot be had
    SymbolicLink,   // a symbolic link sits at the name; nothing is written or read through one
    NotRegularFile, // a FIFO, a device or a socket sits at the name
    FileInUse,      // another handle holds the file without sharing it
    NotADirectory,  // a file sits where a folder of the path should be
    NotFound,       // the file or a folder of its path does not exist
    IsADirectory,   // a folder sits at the file's name
    EncoderFailed,  // the MP3 encoder refused its stream or a chunk
    TagsNotWritten, // the recording's tags could not be put into its file
    ComponentBusy,  // the recording chain still finishes its previous pass
    FileNotCreated, // a file could not be created, for a reason none of the above names
    FileNotOpened,  // a file could not be opened, likewise
    FileNotWritten  // a file could not be written, likewise
};

struct FailureCause {
    FailureKind kind = FailureKind::Other;
    int errorNumber = 0; // errno of the failed call; 0 where there was no such call
};

// The cause an errno names, or `otherwise` (with the errno kept) when it names none the operator
// can act on.
inline FailureCause CauseOfError(int errorNumber, FailureKind otherwise = FailureKind::Other) {
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
        return {FailureKind::DiskFull, errorNumber};
    case EACCES:
    case EPERM:
    case EROFS:
        return {FailureKind::NoAccess, errorNumber};
    case ENOTDIR:
        return {FailureKind::NotADirectory, errorNumber};
    case ENOENT:
        return {FailureKind::NotFound, errorNumber};
    case EISDIR:
        return {FailureKind::IsADirectory, errorNumber};
    default:
        return {otherwise, errorNumber};
    }
}

// What every layer below the station raises: its message, complete as it always was, and the
// cause beside it. Each layer derives its own classes from it (the audio and archive libraries keep
// their documented names), so that one catch of Failure, or CauseOf, reads any of them.
class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& message, FailureCause cause = {})
        : std::runtime_error(message), cause_(cause) {}
    const FailureCause& Cause() const noexcept { return cause_; }

private:
    FailureCause cause_;
};

// The cause `failure` carries; Other for exceptions that carry none.
inline FailureCause CauseOf(const std::exception& failure) {
    if (const auto* caused = dynamic_cast<const Failure*>(&failure))
        return caused->Cause();
    return {};
}

} // namespace platform
