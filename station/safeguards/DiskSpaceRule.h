// How much room an interview needs on the Desktop's file system, where both its recordings and
// their archive go. A recording at 128 kbit/s takes 16000 bytes a second, and its archive about as
// much again (MP3 hardly compresses), so every second of recording needs 32000 bytes in the end.
// The station asks CheckSpaceAtReadiness once when readiness is confirmed (a warning, the exam may
// go on), and SpaceRunningLow from its one-second timer while it records (a banner until space is
// freed), both with platform::FreeBytes of the Desktop folder, the latter with FolderContentBytes
// of the interview folder.
// Sizes shown to the operator are in megabytes of 1 000 000 bytes, as desktop file managers show
// them.
#pragma once

#include "station/OperatorTexts.h"

#include <cstdint>
#include <optional>
#include <string>

namespace station {

inline constexpr std::uint64_t RecordingBytesPerSecond = 16000;
// A second of recording with its share of the archive.
inline constexpr std::uint64_t BytesPerRecordedSecond = 2 * RecordingBytesPerSecond;
// An interview should be able to record this long when it starts...
inline constexpr std::uint64_t ReadinessReserveSeconds = 3 * 60 * 60;
// ...and never have less than this left while it runs.
inline constexpr std::uint64_t RecordingReserveSeconds = 10 * 60;

// The banner while SpaceRunningLow holds is LowSpaceText.

// The whole minutes of recording (with their archive) that `freeBytes` allow.
std::uint64_t RecordableMinutes(std::uint64_t freeBytes);

// Nothing when `freeBytes` hold ReadinessReserveSeconds of recording with their archive; otherwise
// "На диске мало места: свободно N МБ, этого хватит примерно на M мин. записи." with N the free
// megabytes and M = RecordableMinutes, both rounded down.
std::optional<std::string> CheckSpaceAtReadiness(std::uint64_t freeBytes);

// The bytes of every file in `interviewDir` and its subfolders, all of which go into the archive:
// the `recordedBytes` for SpaceRunningLow (the growing current recording included). 0 for a folder
// that cannot be read.
std::uint64_t FolderContentBytes(const std::string& interviewDir);

// Whether `freeBytes` have fallen below what the interview still needs: RecordingReserveSeconds of
// recording with their archive, plus the archive of the `recordedBytes` already recorded.
bool SpaceRunningLow(std::uint64_t freeBytes, std::uint64_t recordedBytes);

} // namespace station
