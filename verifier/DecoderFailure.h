// The MP3 decoder or the loudness analysis cannot do its work at all (it does not start, or the
// sound it is given changes format); what() says why, in Russian. A recording that is damaged is
// not such a failure: that is a reason in the check's findings.
#pragma once

#include "platform/FailureCause.h"

namespace interview_check {

class DecoderFailure : public platform::Failure {
public:
    using Failure::Failure;
};

} // namespace interview_check
