#include "station/safeguards/DiskSpaceRule.h"

std::uint64_t RecordableMinutes(std::uint64_t freeBytes) {
    return freeBytes / BytesPerRecordedSecond / 60;
}

std::optional<std::string> CheckSpaceAtReadiness(std::uint64_t freeBytes) {
    if (freeBytes >= ReadinessReserveSeconds * BytesPerRecordedSecond)
        return std::nullopt;
    return "На диске мало места: свободно " + std::to_string(freeBytes / 1'000'000) +
           " МБ, этого хватит примерно на " + std::to_string(RecordableMinutes(freeBytes)) +
           " мин. записи.";
}

bool SpaceRunningLow(std::uint64_t freeBytes, std::uint64_t recordedBytes) {
    return freeBytes < RecordingReserveSeconds * BytesPerRecordedSecond + recordedBytes;
}
