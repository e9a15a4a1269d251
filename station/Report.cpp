#include "station/Report.h"

#include "platform/FileStream.h"
#include "platform/TextCodec.h"
#include "station/Crc32.h"
#include "station/FileUtils.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>

void AddReportHeader(TInterviewState& State) {
    State.ReportLines.push_back("Собеседование по русскому языку в 9 классах");
    State.ReportLines.push_back(platform::FormatDateTime("dd.mm.yyyy", State.ExamDate));
    State.ReportLines.push_back(State.Region);
    State.ReportLines.push_back(State.KodOU6 + ";" + State.NameOU);
    State.ReportLines.push_back("Аудитория;" + State.Aud3);
}

std::string RecordingLine(const std::string& FileName) {
    TDateTime time = 0;
    FileCreationTime(FileName, time);
    const std::string stamp = platform::FormatDateTime("dd-mm-yyyy hh.nn.ss", time);
    char checksum[16];
    std::snprintf(checksum, sizeof checksum, "%08" PRIX32, FileCRC32(FileName));
    const std::string::size_type separator = FileName.find_last_of("/\\:");
    const std::string name =
        separator == std::string::npos ? FileName : FileName.substr(separator + 1);
    return name + ";" + stamp + ";" + std::to_string(FileSizeOf(FileName)) + ";" + checksum;
}

void AddRecordingLine(TInterviewState& State, const std::string& FileName) {
    State.ReportLines.push_back(RecordingLine(FileName));
}

void AddCountLine(TInterviewState& State) {
    State.ReportLines.push_back("Участников;" + std::to_string(State.MemberNo));
}

void SaveReport(const TInterviewState& State, const std::string& Path) {
    std::string content;
    for (const std::string& line : State.ReportLines)
        content += platform::Utf8ToWindows1251(line) + "\r\n";
    platform::FileHandle file =
        platform::FileHandle::Open(Path, platform::FileAccess::Write, platform::FileShare::None,
                                   platform::FileDisposition::CreateAlways);
    // A report cut short by a full disk, or refused when closed, must not pass for a saved one.
    const bool written = file.Write(content.data(), content.size()) == content.size();
    if (!written || !file.Close())
        throw platform::FileError("Cannot write file \"" + Path + "\". " +
                                  platform::SystemErrorText(errno ? errno : EIO));
}
