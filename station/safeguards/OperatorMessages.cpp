#include "station/safeguards/OperatorMessages.h"

namespace station {

namespace {

using platform::FailureKind;

// The causes the operator can act on: told before the original text whatever its language.
const char* ActionableCauseText(FailureKind kind) {
    switch (kind) {
    case FailureKind::MicrophoneGone:
        return MicrophoneLostText;
    case FailureKind::NoMicrophone:
    case FailureKind::NoSoundServer:
        return MicrophoneUnavailableText;
    case FailureKind::DiskFull:
        return DiskFullText;
    case FailureKind::NoAccess:
        return NoAccessText;
    case FailureKind::SymbolicLink:
        return SymbolicLinkCauseText;
    case FailureKind::NotRegularFile:
        return NotRegularFileCauseText;
    default:
        return nullptr;
    }
}

// What the other failures were, in Russian, put before a text in the layers' English so that no
// operator text is English only.
const char* DescribedCauseText(FailureKind kind) {
    switch (kind) {
    case FailureKind::NotADirectory:
        return FileInPlaceOfFolderText;
    case FailureKind::FileInUse:
        return FileInUseText;
    case FailureKind::TagsNotWritten:
        return TagsNotWrittenText;
    case FailureKind::NotFound:
        return NotFoundText;
    case FailureKind::IsADirectory:
        return FolderInPlaceOfFileText;
    case FailureKind::LibraryMissing:
        return LibraryMissingText;
    case FailureKind::EncoderFailed:
        return EncoderFailedText;
    case FailureKind::ComponentBusy:
        return PreviousRecordingFinishingText;
    case FailureKind::FileNotWritten:
        return FileNotWrittenText;
    case FailureKind::FileNotCreated:
        return FileNotCreatedText;
    case FailureKind::FileNotOpened:
        return FileNotOpenedText;
    default:
        return UnexpectedErrorText;
    }
}

// Whether the text is already written for the operator: it holds a Cyrillic letter (U+0400..U+04FF
// starts with the byte D0 or D1 in UTF-8).
bool IsRussian(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) == 0xD0 || static_cast<unsigned char>(c) == 0xD1)
            return true;
    return false;
}

std::string Led(const char* cause, std::string_view original) {
    return std::string(cause) + " (" + std::string(original) + ")";
}

} // namespace

std::string OperatorText(std::string_view original, const platform::FailureCause& cause) {
    if (const char* actionable = ActionableCauseText(cause.kind))
        return Led(actionable, original);
    if (original.empty() || IsRussian(original))
        return std::string(original);
    return Led(DescribedCauseText(cause.kind), original);
}

std::string OperatorText(const std::exception& failure) {
    return OperatorText(failure.what(), platform::CauseOf(failure));
}

} // namespace station
