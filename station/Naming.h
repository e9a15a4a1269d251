// The names of every folder and file an interview produces. Folders are given without a trailing
// "/"; participant numbers are written in decimal without leading zeros.
#pragma once

#include "platform/DateTime.h"

#include <string>

namespace station {

// "01-" + day as "ddmmyyyy" + "-" + school code + "-" + room, the stem of the interview folder and
// of the archive.
std::string InterviewStem(platform::DateTime day, const std::string& schoolCode6,
                          const std::string& room3);

// desktop + "/" + the stem of the day the parameters were saved.
std::string InterviewFolderFor(const std::string& desktop, platform::DateTime examDate,
                               const std::string& schoolCode6, const std::string& room3);

// interviewFolder + "/" + participant + ".mp3".
std::string RecordingFileName(const std::string& interviewFolder, long long participant);

// "01-ddmmyyyy-000000-" + school code + "-" + room + ".csv" for the closing day (the name alone;
// the stamp is formatted from the date without time of day).
std::string ReportFileName(platform::DateTime closingDay, const std::string& schoolCode6,
                           const std::string& room3);

// desktop + "/" + the stem of the closing day + ".zip".
std::string ArchiveFileName(const std::string& desktop, platform::DateTime closingDay,
                            const std::string& schoolCode6, const std::string& room3);

// The test recording: "test01.mp3" in the program's folder or, where that folder is not writable
// (an installed program), in the user's cache folder for the program (created when missing).
std::string TestRecordingFileName();

} // namespace station
