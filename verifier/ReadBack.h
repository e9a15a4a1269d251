// The station's read-back after an interview is closed: the archive it has just written goes
// through the receiver's whole check (CheckArchive), and the report inside must be the one on disk
// byte for byte, in the folder and under the name the station gave them. The station and the
// receiver therefore never disagree about an archive the station calls proven.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace interview_check {

struct ReadBackResult {
    bool sound = false;
    std::size_t recordings = 0; // recordings held in the archive, when sound
    // The first fault found: the entry concerned (a name inside the interview folder, or the
    // archive's own file name for the archive as a whole) and why.
    std::string badEntry;
    std::string reason;
};

// `folderName` is the interview folder's own name, `reportName` the report's file name inside it
// and `reportBytes` the report as saved on disk. Never raises for a fault of the archive.
ReadBackResult ReadBackArchive(const std::string& archivePath, const std::string& folderName,
                               const std::string& reportName, std::string_view reportBytes);

// "Архив проверен: 3 записи, контрольные суммы совпадают." or, for an archive the receiver would
// refuse, "Архив не прошёл проверку: " + BadEntry + ", " + Reason + "."
std::string ReadBackMessage(const ReadBackResult& result);

// "1 запись", "2 записи", "5 записей", ...
std::string RecordingCountText(std::size_t count);

} // namespace interview_check
