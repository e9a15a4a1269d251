#include "verifier/ReadBack.h"

#include "verifier/InterviewNames.h"
#include "verifier/ListedFile.h"
#include "verifier/Reasons.h"
#include "verifier/ZipReader.h"

#include <map>
#include <set>

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

// The report inside the archive, compared without reading more than the one on disk holds.
std::string CompareReport(const ZipReader& reader, const ZipEntry& entry, std::string_view onDisk) {
    if (entry.DeclaredSize != onDisk.size())
        return reason::ReportDiffers;
    std::string packed;
    const StreamResult read =
        reader.Stream(entry, [&packed](const unsigned char* data, std::size_t size) {
            packed.append(reinterpret_cast<const char*>(data), size);
        });
    if (!read.Failure.empty())
        return read.Failure;
    return packed == onDisk ? std::string() : std::string(reason::ReportDiffers);
}

std::string CheckUnlisted(const ZipReader& reader, const ZipEntry& entry) {
    const StreamResult read = reader.Stream(entry, nullptr);
    if (!read.Failure.empty())
        return read.Failure;
    if (read.Size != entry.DeclaredSize)
        return reason::SizeDiffers;
    if (read.Crc32 != entry.DeclaredCrc32)
        return reason::CrcDiffers;
    return {};
}

} // namespace

ReadBackResult ReadBackArchive(const std::string& archivePath, const std::string& folderName,
                               const std::string& reportName, std::string_view reportBytes,
                               const std::vector<RecordingLine>& recordings) {
    try {
        const ZipReader reader(archivePath);
        const std::string prefix = folderName + "/";
        const std::string reportEntry = prefix + reportName;
        std::map<std::string, const RecordingLine*> listed;
        for (const RecordingLine& line : recordings)
            listed.emplace(prefix + line.Name, &line);

        std::set<std::string> seen;
        for (const ZipEntry& entry : reader.Entries()) {
            if (!seen.insert(entry.Name).second)
                return Bad(entry.Name, reason::Duplicate);
            if (entry.Name == prefix)
                continue;
            std::string why;
            if (entry.Name == reportEntry) {
                why = CompareReport(reader, entry, reportBytes);
            } else if (const auto line = listed.find(entry.Name); line != listed.end()) {
                why = CheckListedFile(reader, entry, *line->second, nullptr);
            } else if (entry.Name.starts_with(prefix) &&
                       ParticipantNumber(std::string_view(entry.Name).substr(prefix.size()))) {
                // A recording the report does not describe.
                why = reason::Extra;
            } else if (!entry.IsFolder()) {
                // Whatever else the interview folder held is archived with it (a note, the
                // contents of a folder named like a recording): no fault, as long as it reads
                // back whole.
                why = CheckUnlisted(reader, entry);
            }
            if (!why.empty())
                return Bad(entry.Name, why);
        }
        if (!seen.contains(reportEntry))
            return Bad(reportEntry, reason::Missing);
        for (const RecordingLine& line : recordings)
            if (!seen.contains(prefix + line.Name))
                return Bad(prefix + line.Name, reason::Missing);
    } catch (const UnreadableArchive& error) {
        return Bad(OwnName(archivePath), error.what());
    } catch (const DamagedArchive& error) {
        return Bad(OwnName(archivePath), error.what());
    }
    ReadBackResult sound;
    sound.Sound = true;
    sound.Recordings = recordings.size();
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
        return "Архив проверен: " + std::to_string(result.Recordings) +
               " записей, контрольные суммы совпадают.";
    return "Архив повреждён: " + result.BadEntry + ", " + result.Reason;
}

} // namespace interview_check
