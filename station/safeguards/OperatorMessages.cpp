#include "station/safeguards/OperatorMessages.h"

#include "platform/FileFacts.h"
#include "platform/FileStream.h"
#include "platform/FileSystemFacts.h"

#include <cerrno>
#include <initializer_list>

namespace {

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

bool ContainsAny(std::string_view text, std::initializer_list<std::string_view> parts) {
    for (const std::string_view part : parts)
        if (Contains(text, part))
            return true;
    return false;
}

// Error numbers by cause, and whether the text carries the system's wording of one of them (in the
// English of the layers' own messages, or in the language the system speaks to this process).
constexpr std::initializer_list<int> DiskFullErrors = {ENOSPC, EDQUOT};
constexpr std::initializer_list<int> NoAccessErrors = {EACCES, EPERM, EROFS};

bool IsOneOf(int errorNumber, std::initializer_list<int> errors) {
    for (const int error : errors)
        if (errorNumber == error)
            return true;
    return false;
}

bool NamesSystemError(std::string_view text, std::initializer_list<int> errors) {
    for (const int error : errors)
        if (Contains(text, platform::SystemErrorText(error)))
            return true;
    return false;
}

} // namespace

FailureCause ClassifyFailure(std::string_view original, int errorNumber) {
    // The capture source's code for a device that went away under the stream.
    if (Contains(original, "Input failed: DirectSound error 0x88890004"))
        return FailureCause::MicrophoneLost;
    // The capture source's own failures: no device, a device that failed or went silent, or no
    // sound server to reach one.
    if (ContainsAny(original,
                    {"Input failed: DirectSound error", "Invalid device number",
                     "Failed to create DirectSound device", "Failed to create DirectSound buffer",
                     "Connection refused", "Connection terminated"}))
        return FailureCause::Microphone;
    if (ContainsAny(original, {"No space left on device", "Disk quota exceeded"}) ||
        NamesSystemError(original, DiskFullErrors))
        return FailureCause::DiskFull;
    if (ContainsAny(original,
                    {"Permission denied", "Operation not permitted", "Read-only file system"}) ||
        NamesSystemError(original, NoAccessErrors))
        return FailureCause::NoAccess;
    if (IsOneOf(errorNumber, DiskFullErrors))
        return FailureCause::DiskFull;
    if (IsOneOf(errorNumber, NoAccessErrors))
        return FailureCause::NoAccess;
    return FailureCause::Unknown;
}

std::string OperatorText(std::string_view original, int errorNumber) {
    const char* cause = nullptr;
    switch (ClassifyFailure(original, errorNumber)) {
    case FailureCause::Unknown:
        return std::string(original);
    case FailureCause::Microphone:
        cause = MicrophoneUnavailableText;
        break;
    case FailureCause::MicrophoneLost:
        cause = MicrophoneLostText;
        break;
    case FailureCause::DiskFull:
        cause = DiskFullText;
        break;
    case FailureCause::NoAccess:
        cause = NoAccessText;
        break;
    }
    return std::string(cause) + " (" + std::string(original) + ")";
}

int ProbableWriteError(const std::string& folder) {
    // Less than one MP3 write's worth with the encoder's tail and the closing block: the write
    // that failed found the disk full.
    constexpr std::uint64_t NearlyFull = 64 * 1024;
    try {
        if (platform::FreeBytes(folder) < NearlyFull)
            return ENOSPC;
    } catch (const platform::FileError&) {
        return 0;
    }
    return platform::IsWritableFolder(folder) ? 0 : EACCES;
}
