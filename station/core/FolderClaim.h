// The claim of an interview folder for this window, as readiness and the close of an earlier day's
// interview take it.
#pragma once

#include "platform/FolderLock.h"
#include "station/core/Outcome.h"

#include <optional>
#include <string>

namespace station {

struct FolderClaim {
    std::optional<platform::FolderLock> lock;
    // Why the folder is not locked although nobody else holds it: its file system has no locks.
    // That must not stop the exam; the operator is told what the claim would have prevented.
    std::string unclaimed;
};

// Claims `folder` (which must exist) into `claim`; refused, with the operator's message, when
// another window holds it.
Outcome ClaimFolder(const std::string& folder, FolderClaim& claim);

} // namespace station
