// For tests: the bookkeeping of the shared event thread, which the recording chain itself never
// looks at.
#pragma once

#include <cstdint>

namespace audio {

// The count of current users of the event thread.
int EventThreadUsers();
// Event threads created since the process started.
std::uint64_t EventThreadsCreated();

} // namespace audio
