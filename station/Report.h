// The interview report: semicolon-separated Windows-1251 text with CR LF after every line, built
// line by line while the interview runs and written once at its close.
#pragma once

#include "interview_format/ReportLines.h"
#include "platform/DateTime.h"

#include <string>
#include <string_view>
#include <vector>

// What the report's header names of an interview.
struct ReportHeading {
    platform::DateTime examDate = 0;
    std::string region;
    std::string schoolCode6;
    std::string schoolName;
    std::string room3;
};

// The five header lines: the title, examDate as "dd.mm.yyyy", region, schoolCode6;schoolName and
// Аудитория;room3.
std::vector<std::string> ReportHeader(const ReportHeading& heading);

// The line of one recording: its name without the folder ; creation time "dd-mm-yyyy hh.nn.ss" ;
// size in bytes ; CRC-32 in 8 upper-case hex digits. A missing file gives 30-12-1899 00.00.00, -1
// and 00000000; a file that cannot be read gives the checksum of what was read, and the reason
// goes to `unreadable` (left empty otherwise) for the caller to tell; the station always asks for
// it, a tool that only lists files it has just written may not.
std::string RecordingLine(const std::string& fileName, std::string* unreadable = nullptr);

// The count line is the interview format's; the station names it as before.
using interview_format::CountLine;
using interview_format::IsCountLine;

// Writes `lines` to `path`, replacing any file of that name through a synced temporary file, so
// that the name holds the old report or the new one whatever happens. A symbolic link at `path` is
// refused. Raises platform::FileError "Cannot create file \"<path>\". <reason>" or "Cannot write
// file \"<path>\". <reason>".
void SaveReport(const std::vector<std::string>& lines, const std::string& path);
