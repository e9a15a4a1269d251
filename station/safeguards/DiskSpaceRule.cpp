#include "station/safeguards/DiskSpaceRule.h"

#include "platform/FileFacts.h"

namespace station {

std::uint64_t RecordableMinutes(std::uint64_t freeBytes) {
    return freeBytes / BytesPerRecordedSecond / 60;
}

std::optional<std::string> CheckSpaceAtReadiness(std::uint64_t freeBytes) {
    if (freeBytes >= ReadinessReserveSeconds * BytesPerRecordedSecond)
        return std::nullopt;
    return LowSpaceAtReadinessText(freeBytes / 1'000'000, RecordableMinutes(freeBytes));
}

bool SpaceRunningLow(std::uint64_t freeBytes, std::uint64_t recordedBytes) {
    return freeBytes < RecordingReserveSeconds * BytesPerRecordedSecond + recordedBytes;
}

std::uint64_t FolderContentBytes(const std::string& interviewDir) {
    std::uint64_t total = 0;
    for (const platform::FolderEntry& entry : platform::ListFolder(interviewDir)) {
        if (entry.facts.isDirectory) {
            // A linked folder is not walked into, as the archive's walk does not.
            if (!entry.facts.isSymbolicLink)
                total += FolderContentBytes(interviewDir + "/" + entry.name);
        } else if (entry.facts.size > 0) {
            total += static_cast<std::uint64_t>(entry.facts.size);
        }
    }
    return total;
}

} // namespace station
