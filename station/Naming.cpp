#include "station/Naming.h"

#include "platform/DynamicLibrary.h"
#include "platform/FileFacts.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

std::string InterviewStem(TDateTime Day, const std::string& KodOU6, const std::string& Aud3) {
    return "01-" + platform::FormatDateTime("ddmmyyyy", Day) + "-" + KodOU6 + "-" + Aud3;
}

std::string InterviewDirFor(const std::string& Desktop, TDateTime ExamDate,
                            const std::string& KodOU6, const std::string& Aud3) {
    return Desktop + "/" + InterviewStem(ExamDate, KodOU6, Aud3);
}

std::string RecordingFileName(const std::string& InterviewDir, long long MemberNo) {
    return InterviewDir + "/" + std::to_string(MemberNo) + ".mp3";
}

std::string ReportFileName(TDateTime ClosingDay, const std::string& KodOU6,
                           const std::string& Aud3) {
    const std::string stamp = platform::FormatDateTime("ddmmyyyy-hhnnss", std::floor(ClosingDay));
    return "01-" + stamp + "-" + KodOU6 + "-" + Aud3 + ".csv";
}

std::string ArchiveFileName(const std::string& Desktop, TDateTime ClosingDay,
                            const std::string& KodOU6, const std::string& Aud3) {
    return Desktop + "/" + InterviewStem(ClosingDay, KodOU6, Aud3) + ".zip";
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
