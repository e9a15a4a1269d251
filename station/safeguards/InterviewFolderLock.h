// The station's claim on its interview folder: held from readiness until the program ends, so that
// a second window of the program (in this or another process) cannot record into the same folder
// and replace its recordings or its report. The claim adds nothing to the folder.
#pragma once

#include "platform/FolderLock.h"
#include "station/OperatorTexts.h"

#include "platform/FailureCause.h"

#include <string>

namespace station {

// The interview is conducted in another window; the message is InterviewInUseText.
class InterviewInUse : public platform::Failure {
public:
    InterviewInUse() : Failure(InterviewInUseText) {}
};

// Claims `interviewDir` (which must exist). Raises InterviewInUse when it is claimed elsewhere, and
// passes on platform::FileError when the system cannot lock it: the station may then go on without
// the claim (the folder stays usable), after logging the reason.
platform::FolderLock ClaimInterviewFolder(const std::string& interviewDir);

} // namespace station
