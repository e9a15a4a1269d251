// The station's read-back after an interview is closed: the archive it has just written is read
// with an independent zip reader, every entry decompressed, each recording held against its report
// line and the report inside compared with the one on disk byte for byte.
#pragma once

#include "verifier/ReportFormat.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace interview_check {

struct ReadBackResult {
    bool Sound = false;
    std::size_t Recordings = 0; // recordings checked, when sound
    // The first entry found wrong, as its path inside the archive (the archive's own file name
    // when the archive cannot be read at all), and why.
    std::string BadEntry;
    std::string Reason;
};

// `folderName` is the interview folder's own name, `reportName` the report's file name inside it,
// `reportBytes` the report as saved on disk and `recordings` its recording lines, for example
// ParseReport(reportBytes).Recordings. A recording the report does not list is a fault; other
// files in the archive are read through and must match their own sizes and checksums. Never raises
// for a fault of the archive.
ReadBackResult ReadBackArchive(const std::string& archivePath, const std::string& folderName,
                               const std::string& reportName, std::string_view reportBytes,
                               const std::vector<RecordingLine>& recordings);

// "Архив проверен: N записей, контрольные суммы совпадают." (the station's fixed wording, the same
// for every N) or "Архив повреждён: " + BadEntry + ", " + Reason.
std::string ReadBackMessage(const ReadBackResult& result);

// "1 запись", "2 записи", "5 записей", ...
std::string RecordingCountText(std::size_t count);

} // namespace interview_check
