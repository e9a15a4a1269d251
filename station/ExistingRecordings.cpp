#include "station/ExistingRecordings.h"

#include "interview_format/InterviewNames.h"
#include "platform/FailureCause.h"
#include "station/OperatorTexts.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>

namespace station {

long long ExistingRecordings::NextNumber() const {
    long long highest = 0;
    if (!recordings.empty())
        highest = recordings.back();
    if (!others.empty())
        highest = std::max(highest, others.back());
    return highest + 1;
}

std::vector<long long> ExistingRecordings::WithoutRecording(std::size_t limit) const {
    std::vector<long long> missing;
    long long expected = 1;
    for (const long long number : recordings) {
        for (; expected < number && missing.size() < limit; ++expected)
            missing.push_back(expected);
        expected = number + 1;
    }
    return missing;
}

ExistingRecordings FindExistingRecordings(const std::string& interviewFolder) {
    ExistingRecordings found;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(interviewFolder, error), end;
         !error && entry != end; entry.increment(error)) {
        const auto number =
            interview_format::ParticipantNumberOf(entry->path().filename().string());
        if (!number)
            continue;
        // A link is not followed: what it points at is no recording of this folder.
        std::error_code typeError;
        const bool regular =
            entry->symlink_status(typeError).type() == std::filesystem::file_type::regular;
        (regular && !typeError ? found.recordings : found.others).push_back(*number);
    }
    // Not knowing what is there could mean recording over it.
    if (error)
        throw platform::Failure(FolderNotReadText(interviewFolder, error.message()));
    std::sort(found.recordings.begin(), found.recordings.end());
    std::sort(found.others.begin(), found.others.end());
    return found;
}

} // namespace station
