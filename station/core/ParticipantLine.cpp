#include "station/core/ParticipantLine.h"

#include "interview_format/InterviewNames.h"
#include "platform/FileStream.h"
#include "platform/PathNames.h"
#include "station/Naming.h"
#include "station/OperatorTexts.h"
#include "station/Report.h"
#include "station/core/InterruptedRecording.h"
#include "station/core/RecordedAudio.h"
#include "station/core/ReportLines.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace station {

namespace {

// A failed start writes at most its tags and one information frame; anything larger is something
// else and is never removed here.
constexpr std::int64_t MostOfAFailedStart = 64 * 1024;

// Whether the file is a small regular file without one MP3 audio frame. The file layer opens only
// regular files, without following a link or waiting on a FIFO, so that nothing but the station's
// own file can be judged empty.
bool HoldsNoAudio(const std::string& fileName) {
    const auto facts = WalkRecording(fileName, MostOfAFailedStart);
    return facts && facts->frames == 0;
}

ParticipantEntry NotStartedEntry(const std::string& fileName) {
    return {.line = interview_format::NotStartedEntry(platform::FileNameOf(fileName))};
}

ParticipantEntry ListedAsItStands(const std::string& fileName, std::int64_t cut = 0) {
    MeasuredRecording measured = RecordingEntry(fileName);
    return {.line = std::move(measured.entry), .unreadable = std::move(measured.unreadable),
            .cut = cut};
}

} // namespace

std::optional<ParticipantEntry> ParticipantLine(const std::string& fileName) {
    std::error_code ignored;
    const std::filesystem::file_type type =
        std::filesystem::symlink_status(fileName, ignored).type();
    // A link, FIFO or folder at the name was refused as the pass's output and holds nothing of the
    // participant: its size (a link target's) would only make a line no archive can match.
    if (type != std::filesystem::file_type::not_found &&
        type != std::filesystem::file_type::regular)
        return std::nullopt;
    // The pass's failure has been told already; a checksum box about a file that is not there
    // would only repeat it.
    if (type == std::filesystem::file_type::not_found ||
        (HoldsNoAudio(fileName) && std::remove(fileName.c_str()) == 0))
        return NotStartedEntry(fileName);
    return ListedAsItStands(fileName);
}

ParticipantEntry ResumedParticipantLine(const std::string& fileName) {
    std::int64_t cut = 0;
    std::error_code ignored;
    const auto facts = std::filesystem::symlink_status(fileName, ignored);
    if (std::filesystem::is_regular_file(facts)) {
        // A power cut before the first sync leaves the file empty: it holds nothing of the
        // participant. Anything else an earlier run left is the participant's, and is kept.
        if (std::filesystem::file_size(fileName, ignored) == 0 &&
            std::remove(fileName.c_str()) == 0)
            return NotStartedEntry(fileName);
        try {
            cut = CutToWholeFrames(fileName);
        } catch (const platform::FileError&) {
            // Left as it stands: the close's check names what is wrong with it.
        }
    }
    return ListedAsItStands(fileName, cut);
}

std::vector<std::string> AddResumedRecordings(ReportLines& report, const std::string& folder,
                                              const std::vector<long long>& numbers) {
    std::vector<std::string> mended;
    for (const long long number : numbers) {
        ParticipantEntry entry = ResumedParticipantLine(RecordingFileName(folder, number));
        report.Add(std::move(entry.line));
        if (!entry.unreadable.empty())
            report.NoteUnreadable(std::move(entry.unreadable));
        if (entry.cut > 0)
            mended.push_back(
                RecordingTailCutText(interview_format::RecordingName(number), entry.cut));
    }
    return mended;
}

} // namespace station
