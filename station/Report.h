// The interview report: built line by line in the interview state while the interview runs and
// written once at its close, as semicolon-separated Windows-1251 text with CR LF after every line.
#pragma once

#include "station/InterviewState.h"

#include <string>

// Appends the five header lines: the title, ExamDate as "dd.mm.yyyy", Region, KodOU6;NameOU and
// Аудитория;Aud3.
void AddReportHeader(TInterviewState& State);

// The line of one recording: its name without the folder ; creation time "dd-mm-yyyy hh.nn.ss" ;
// size in bytes ; CRC-32 in 8 upper-case hex digits. A missing file gives 30-12-1899 00.00.00, -1
// and 00000000; a file that cannot be read gives the checksum of what was read. A checksum failure
// is shown in a message box (see FileCRC32) before the line is returned.
std::string RecordingLine(const std::string& FileName);

// Appends RecordingLine(FileName). Runs on the exam recording's worker thread while the GUI thread
// waits for it, so it takes no lock.
void AddRecordingLine(TInterviewState& State, const std::string& FileName);

// Appends "Участников;" + MemberNo.
void AddCountLine(TInterviewState& State);

// Writes ReportLines to `Path` in one write, replacing any file of that name; the file is held
// exclusively meanwhile. Raises platform::FileError "Cannot create file \"<path>\". <reason>" or
// "Cannot write file \"<path>\". <reason>".
void SaveReport(const TInterviewState& State, const std::string& Path);
