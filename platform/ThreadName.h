// Names the calling thread, so that a profiler, `top -H` and a debugger tell the station's threads
// apart (the recording's worker, the event thread, the disk sync, the archive packer).
#pragma once

#include <string_view>

namespace platform {

// The system keeps at most 15 bytes of a name; a longer one is cut there. A failure to name is
// harmless and ignored: the name is only ever read by people.
void NameCurrentThread(std::string_view name);

} // namespace platform
