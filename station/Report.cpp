#include "station/Report.h"

#include "interview_format/InterviewNames.h"
#include "platform/DiskSync.h"
#include "platform/TextCodec.h"
#include "station/Crc32.h"
#include "station/FileUtils.h"
#include "station/OperatorTexts.h"

#include <utility>

std::vector<std::string> ReportHeader(const ReportHeading& state) {
    return {ReportTitleLine,
            platform::FormatDateTime(interview_format::ExamDatePattern, state.examDate),
            state.region, state.schoolCode6 + ";" + state.schoolName,
            ReportRoomField + state.room3};
}

std::string RecordingLine(const std::string& fileName, std::string* unreadable) {
    platform::DateTime time = 0;
    FileCreationTime(fileName, time);
    const std::string stamp = platform::FormatDateTime(interview_format::FileTimePattern, time);
    FileChecksum sum = FileCRC32(fileName);
    if (unreadable)
        *unreadable = std::move(sum.failure);
    const std::string checksum = interview_format::ChecksumText(sum.crc);
    const std::string::size_type separator = fileName.find_last_of("/\\:");
    const std::string name =
        separator == std::string::npos ? fileName : fileName.substr(separator + 1);
    return name + ";" + stamp + ";" + std::to_string(FileSizeOf(fileName)) + ";" + checksum;
}

void SaveReport(const std::vector<std::string>& lines, const std::string& path) {
    std::string content;
    for (const std::string& line : lines)
        content += platform::Utf8ToWindows1251(line) + "\r\n";
    // A report cut short by a full disk or by a power cut must not pass for a saved one, nor
    // destroy the one saved before.
    platform::ReplaceFileContent(path, content);
}
