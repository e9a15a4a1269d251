#include "station/safeguards/InterviewFolderLock.h"

platform::FolderLock ClaimInterviewFolder(const std::string& interviewDir) {
    try {
        return platform::FolderLock::Acquire(interviewDir);
    } catch (const platform::FolderInUse&) {
        throw InterviewInUse();
    }
}
