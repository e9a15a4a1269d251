#include "verifier/ReadBack.h"

#include "platform/PathNames.h"
#include "verifier/ArchiveCheck.h"
#include "verifier/Reasons.h"

namespace interview_check {
namespace {

ReadBackResult Bad(std::string entry, std::string why) {
    ReadBackResult result;
    result.badEntry = std::move(entry);
    result.reason = std::move(why);
    return result;
}

} // namespace

ReadBackResult ReadBackArchive(const std::string& archivePath, const std::string& folderName,
                               const std::string& reportName, std::string_view reportBytes) {
    const ArchiveVerdict verdict = CheckArchive(archivePath);
    if (!verdict.problems.empty()) {
        const Problem& first = verdict.problems.front();
        return Bad(first.entry.empty() ? platform::FileNameOf(archivePath) : first.entry,
                   first.reason);
    }
    if (!verdict.readable)
        return Bad(platform::FileNameOf(archivePath), "архив не читается");
    // A sound archive of some other folder or report is still not this interview's.
    if (verdict.folder != folderName)
        return Bad(verdict.folder + "/",
                   "в архиве не та папка собеседования (ожидалась " + folderName + ")");
    if (verdict.reportName != reportName)
        return Bad(verdict.reportName, "в архиве не тот отчёт (ожидался " + reportName + ")");
    if (verdict.reportBytes != reportBytes)
        return Bad(reportName, reason::ReportDiffers);
    ReadBackResult sound;
    sound.sound = true;
    sound.recordings = verdict.RecordingsHeld();
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
    if (result.sound)
        return "Архив проверен: " + RecordingCountText(result.recordings) +
               ", контрольные суммы совпадают.";
    return "Архив не прошёл проверку: " + result.badEntry + ", " + result.reason + ".";
}

} // namespace interview_check
