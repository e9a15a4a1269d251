#include "station/Report.h"

#include "interview_format/InterviewNames.h"
#include "platform/DiskSync.h"
#include "station/Crc32.h"
#include "station/FileUtils.h"
#include "station/OperatorTexts.h"

#include <utility>

namespace station {

interview_format::InterviewReport ReportFor(const ReportHeading& heading) {
    return {.examDate =
                platform::FormatDateTime(interview_format::ExamDatePattern, heading.examDate),
            .region = heading.region,
            .schoolCode = heading.schoolCode6,
            .schoolName = heading.schoolName,
            .room = heading.room3};
}

MeasuredRecording RecordingEntry(const std::string& fileName) {
    platform::DateTime time = 0;
    FileCreationTime(fileName, time);
    FileChecksum sum = FileCRC32(fileName);
    const std::string::size_type separator = fileName.find_last_of("/\\:");
    return {.entry = {.name = separator == std::string::npos ? fileName
                                                             : fileName.substr(separator + 1),
                      .created = platform::FormatDateTime(interview_format::FileTimePattern, time),
                      .size = FileSizeOf(fileName),
                      .crc32 = sum.crc},
            .unreadable = std::move(sum.failure)};
}

void SaveReport(const interview_format::InterviewReport& report, const std::string& path) {
    // A report cut short by a full disk or by a power cut must not pass for a saved one, nor
    // destroy the one saved before.
    platform::ReplaceFileContent(path, interview_format::FormatReport(report));
}

} // namespace station
