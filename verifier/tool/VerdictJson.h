// A verdict as one line of JSON, for the receiver's own tools.
#pragma once

#include "verifier/ArchiveCheck.h"

#include <string>
#include <string_view>

namespace interview_check::tool {

// {"archive", "ok", "readable", "folder", "report", "exam_date", "region", "school_code",
// "school_name", "room", "participants", "duration_seconds", "recordings": [{"name", "size",
// "crc32", "ok", "frames", "sample_rate", "channels", "duration_seconds"}], "problems": [{"entry",
// "reason"}]} on one line, without the line end. With `loudness` a measured recording also
// carries "loudness": {"integrated_lufs", "range_lu", "sample_peak_dbfs", "silent_share",
// "clipped_samples", "clipped_share"} (null for the loudness and peak of silence) and the archive
// "warnings": [{"entry", "reason"}].
std::string VerdictJson(const ArchiveVerdict& verdict, bool loudness = false);

// `text` as a JSON string literal; bytes that are not UTF-8 become U+FFFD.
std::string JsonString(std::string_view text);

} // namespace interview_check::tool
