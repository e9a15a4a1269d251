// The interview report as the station makes it: its values taken from the interview and from the
// recordings on disk, its lines spelled by the interview format, and the file written once at the
// close.
#pragma once

#include "interview_format/Report.h"
#include "platform/DateTime.h"

#include <string>

namespace station {

// What the report's header names of an interview.
struct ReportHeading {
    platform::DateTime examDate = 0;
    std::string region;
    std::string schoolCode6;
    std::string schoolName;
    std::string room3;
};

// The report of that interview with no recording yet: examDate as "dd.mm.yyyy", the padded code and
// room.
interview_format::InterviewReport ReportFor(const ReportHeading& heading);

// The entry of one recording, and why its file could not be read whole (empty when it could): the
// entry is listed all the same, and the reason is for the caller to tell.
struct MeasuredRecording {
    interview_format::ReportEntry entry;
    std::string unreadable;
};

// The entry of one recording: its name without the folder, creation time, size in bytes and CRC-32.
// A missing file gives 30-12-1899 00.00.00, -1 and 00000000; a file that cannot be read gives the
// checksum of what was read, with the reason.
MeasuredRecording RecordingEntry(const std::string& fileName);

// Writes the report to `path`, replacing any file of that name through a synced temporary file, so
// that the name holds the old report or the new one whatever happens. A symbolic link at `path` is
// refused. Raises platform::FileError "Cannot create file \"<path>\". <reason>" or "Cannot write
// file \"<path>\". <reason>".
void SaveReport(const interview_format::InterviewReport& report, const std::string& path);

} // namespace station
