// Recordings already present in an interview folder (a restart on the same day), which must never
// be recorded over.
#pragma once

#include <string>
#include <vector>

// The participant numbers n >= 1 of the entries named exactly n + ".mp3" in `interviewFolder`, in
// ascending order. Raises std::runtime_error when the folder cannot be read.
std::vector<long long> ExistingRecordingNumbers(const std::string& interviewFolder);
