#include "station/Naming.h"
#include "interview_format/InterviewNames.h"

#include "platform/DynamicLibrary.h"
#include "platform/FileFacts.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace station {

namespace {

std::string NameDay(platform::DateTime day) {
    return platform::FormatDateTime(interview_format::NameDayPattern, day);
}

} // namespace

std::string InterviewStem(platform::DateTime day, const std::string& schoolCode6,
                          const std::string& room3) {
    return interview_format::FolderName(NameDay(day), schoolCode6, room3);
}

std::string InterviewFolderFor(const std::string& desktop, platform::DateTime examDate,
                               const std::string& schoolCode6, const std::string& room3) {
    return desktop + "/" + InterviewStem(examDate, schoolCode6, room3);
}

std::string RecordingFileName(const std::string& interviewFolder, long long participant) {
    return interviewFolder + "/" + interview_format::RecordingName(participant);
}

std::string ReportFileName(platform::DateTime closingDay, const std::string& schoolCode6,
                           const std::string& room3) {
    return interview_format::ReportName(NameDay(closingDay), schoolCode6, room3);
}

std::string ArchiveFileName(const std::string& desktop, platform::DateTime closingDay,
                            const std::string& schoolCode6, const std::string& room3) {
    return desktop + "/" + InterviewStem(closingDay, schoolCode6, room3) + ".zip";
}

std::string TestRecordingFileName() {
    const std::string programFolder = platform::ExecutableFolder();
    if (platform::IsWritableFolder(programFolder))
        return programFolder + "/test01.mp3";
    const char* cacheHome = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    std::string cache = cacheHome && *cacheHome ? cacheHome
                        : home && *home         ? std::string(home) + "/.cache"
                                                : programFolder;
    cache += "/interview-station";
    std::error_code ignored;
    std::filesystem::create_directories(cache, ignored);
    return cache + "/test01.mp3";
}

} // namespace station
