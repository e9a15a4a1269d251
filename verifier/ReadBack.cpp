#include "verifier/ReadBack.h"

#include "verifier/ArchiveCheck.h"
#include "verifier/Reasons.h"

namespace interview_check {
namespace {

ReadBackResult Bad(std::string entry, std::string why) {
    ReadBackResult result;
    result.BadEntry = std::move(entry);
    result.Reason = std::move(why);
    return result;
}

std::string OwnName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

} // namespace

ReadBackResult ReadBackArchive(const std::string& archivePath, const std::string& folderName,
                               const std::string& reportName, std::string_view reportBytes) {
    const ArchiveVerdict verdict = CheckArchive(archivePath);
    if (!verdict.Problems.empty()) {
        const Problem& first = verdict.Problems.front();
        return Bad(first.Entry.empty() ? OwnName(archivePath) : first.Entry, first.Reason);
    }
    if (!verdict.Readable)
        return Bad(OwnName(archivePath), "архив не читается");
    // A sound archive of some other folder or report is still not this interview's.
    if (verdict.Folder != folderName)
        return Bad(verdict.Folder + "/",
                   "в архиве не та папка собеседования (ожидалась " + folderName + ")");
    if (verdict.ReportName != reportName)
        return Bad(verdict.ReportName, "в архиве не тот отчёт (ожидался " + reportName + ")");
    if (verdict.ReportBytes != reportBytes)
        return Bad(reportName, reason::ReportDiffers);
    ReadBackResult sound;
    sound.Sound = true;
    sound.Recordings = verdict.RecordingsHeld();
    return sound;
}

std::string RecordingCountText(std::size_t count) {
    const std::size_t lastTwo = count % 100;
    const std::size_t last = count % 10;
    const char* noun = (lastTwo >= 11 && lastTwo <= 14) ? "записей"
                       : last == 1                      ? "запись"
                       : (last >= 2 && last <= 4)       ? "записи"
                                                        : "записей";
    return std::to_string(count) + " " + noun;
}

std::string ReadBackMessage(const ReadBackResult& result) {
    if (result.Sound)
        return "Архив проверен: " + RecordingCountText(result.Recordings) +
               ", контрольные суммы совпадают.";
    return "Архив не прошёл проверку: " + result.BadEntry + ", " + result.Reason + ".";
}

} // namespace interview_check
