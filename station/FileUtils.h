// File facts for the interview report.
#pragma once

#include "platform/DateTime.h"

#include <cstdint>
#include <string>

namespace station {

// Whether a file or folder of that name exists; when it does, `time` receives its creation time in
// local time (the modification time where the file system records no creation time). `time` is
// left unchanged otherwise.
bool FileCreationTime(const std::string& fileName, platform::DateTime& time);

// The size in bytes, or -1 when the file's facts cannot be read.
std::int64_t FileSizeOf(const std::string& fileName);

} // namespace station
