#include "station/safeguards/InterviewFolderLock.h"

namespace station {

platform::FolderLock ClaimInterviewFolder(const std::string& interviewDir) {
    try {
        return platform::FolderLock::Acquire(interviewDir);
    } catch (const platform::FolderInUse&) {
        throw InterviewInUse();
    }
}

} // namespace station
