// File facts for the interview report.
#pragma once

#include "station/InterviewState.h"

#include <cstdint>
#include <string>

// Whether a file or folder of that name exists; when it does, `Time` receives its creation time in
// local time (the modification time where the file system records no creation time). `Time` is
// left unchanged otherwise.
bool FileCreationTime(const std::string& FileName, TDateTime& Time);

// The size in bytes, or -1 when the file's facts cannot be read.
std::int64_t FileSizeOf(const std::string& FileName);
