#include "station/core/FolderClaim.h"

#include "station/safeguards/InterviewFolderLock.h"

namespace station {

Outcome ClaimFolder(const std::string& folder, FolderClaim& claim) {
    try {
        claim.lock.emplace(ClaimInterviewFolder(folder));
    } catch (const InterviewInUse& refusal) {
        return Outcome::Failed(std::string(refusal.what()));
    } catch (const platform::FileError& failure) {
        claim.unclaimed = failure.what();
    }
    return Outcome::Done();
}

} // namespace station
