#include "station/core/UnfinishedInterviews.h"

#include "interview_format/InterviewNames.h"
#include "interview_format/Report.h"
#include "station/Crc32.h"
#include "station/ExistingRecordings.h"
#include "verifier/ArchiveCheck.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace station {

namespace {

namespace fs = std::filesystem;

// The day of a folder named "01-ddmmyyyy-<code>-<room>" for this code and room; nothing for any
// other name or a day that does not exist.
std::optional<platform::DateTime> DayOf(const std::string& name, const std::string& schoolCode6,
                                        const std::string& room3) {
    if (name.size() < 11)
        return std::nullopt;
    const std::string digits = name.substr(3, 8);
    // 31.02 and the like are no day at all: such a name is not a station's.
    if (!interview_format::IsCalendarDate(digits, '\0') ||
        name != interview_format::FolderName(digits, schoolCode6, room3))
        return std::nullopt;
    return platform::EncodeDateTime({.year = std::stoi(digits.substr(4, 4)),
                                     .month = std::stoi(digits.substr(2, 2)),
                                     .day = std::stoi(digits.substr(0, 2))});
}

// Whether the archive beside the folder is one the receiver accepts and holds every recording the
// folder has now, as it is now. A count would not do: a line of a recording that never started
// counts as well, and a recording made again under its number after the close is another answer.
bool ArchivedWhole(const fs::path& archive, const std::string& folder,
                   const std::vector<long long>& recordings) {
    std::error_code error;
    if (fs::symlink_status(archive, error).type() != fs::file_type::regular)
        return false;
    const interview_check::ArchiveVerdict verdict = interview_check::CheckArchive(archive.string());
    if (!verdict.Sound() || verdict.folder != fs::path(folder).filename().string())
        return false;
    for (const long long number : recordings) {
        const std::string name = interview_format::RecordingName(number);
        const auto archived = std::find_if(
            verdict.recordings.begin(), verdict.recordings.end(),
            [&](const interview_check::RecordingVerdict& held) { return held.name == name; });
        if (archived == verdict.recordings.end() || archived->notStarted)
            return false;
        const std::string path = folder + "/" + name;
        const auto size = fs::file_size(path, error);
        if (error || static_cast<std::int64_t>(size) != archived->size)
            return false;
        const FileChecksum checksum = FileCRC32(path);
        if (!checksum.failure.empty() || checksum.crc != archived->crc32)
            return false;
    }
    return true;
}

} // namespace

std::vector<UnfinishedInterview> FindUnfinishedInterviews(const std::string& desktop,
                                                          const std::string& schoolCode6,
                                                          const std::string& room3,
                                                          platform::DateTime today) {
    std::vector<UnfinishedInterview> found;
    std::error_code error;
    for (fs::directory_iterator entry(desktop, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        const auto day = DayOf(name, schoolCode6, room3);
        if (!day || *day >= today)
            continue;
        std::error_code statusError;
        if (entry->symlink_status(statusError).type() != fs::file_type::directory)
            continue;
        ExistingRecordings existing;
        try {
            existing = FindExistingRecordings(entry->path().string());
        } catch (const std::exception&) {
            continue; // a folder that cannot be read cannot be closed either
        }
        if (existing.recordings.empty() ||
            ArchivedWhole(fs::path(desktop) / (name + ".zip"), entry->path().string(),
                          existing.recordings))
            continue;
        found.push_back({entry->path().string(), *day});
    }
    std::sort(
        found.begin(), found.end(),
        [](const UnfinishedInterview& a, const UnfinishedInterview& b) { return a.day < b.day; });
    return found;
}

} // namespace station
