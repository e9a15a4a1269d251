// Recordings already present in an interview folder (a restart on the same day), which must never
// be recorded over.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace station {

// What an interview folder already holds under participants' names, each list in ascending order.
struct ExistingRecordings {
    std::vector<long long> recordings; // regular files: recordings to report and archive
    // Anything else so named (a folder, a link, a device): left alone and never reported, but its
    // number is taken all the same, so that nothing is ever written over it.
    std::vector<long long> others;
    // The number the next recording may take: one after the highest of both lists, 1 when empty.
    long long NextNumber() const;
    // The participants below the highest recording without one (a failed start, a file removed or
    // moved out), ascending, at most `limit` of them: the report lists them as recordings that
    // never started.
    std::vector<long long> WithoutRecording(std::size_t limit) const;
};

// The entries of `interviewFolder` named like recordings. Raises platform::Failure when the folder
// cannot be read.
ExistingRecordings FindExistingRecordings(const std::string& interviewFolder);

} // namespace station
