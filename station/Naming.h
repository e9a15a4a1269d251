// The names of every folder and file an interview produces. Folders are given without a trailing
// "/"; participant numbers are written in decimal without leading zeros.
#pragma once

#include "station/InterviewState.h"

#include <string>

// "01-" + day as "ddmmyyyy" + "-" + school code + "-" + room, the stem of the interview folder and
// of the archive.
std::string InterviewStem(TDateTime Day, const std::string& KodOU6, const std::string& Aud3);

// Desktop + "/" + the stem of the day the parameters were saved.
std::string InterviewDirFor(const std::string& Desktop, TDateTime ExamDate,
                            const std::string& KodOU6, const std::string& Aud3);

// InterviewDir + "/" + MemberNo + ".mp3".
std::string RecordingFileName(const std::string& InterviewDir, long long MemberNo);

// "01-ddmmyyyy-000000-" + school code + "-" + room + ".csv" for the closing day (the name alone;
// the stamp is formatted from the date without time of day).
std::string ReportFileName(TDateTime ClosingDay, const std::string& KodOU6,
                           const std::string& Aud3);

// Desktop + "/" + the stem of the closing day + ".zip".
std::string ArchiveFileName(const std::string& Desktop, TDateTime ClosingDay,
                            const std::string& KodOU6, const std::string& Aud3);

// The test recording: "test01.mp3" in the program's folder or, where that folder is not writable
// (an installed program), in the user's cache folder for the program (created when missing).
std::string TestRecordingFileName();
