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

interview_format::ReportEntry NotStartedEntry(const std::string& fileName) {
    return interview_format::NotStartedEntry(platform::FileNameOf(fileName));
}

// The recording's entry; why its file could not be read whole goes to `unreadable`.
interview_format::ReportEntry ListedRecording(const std::string& fileName,
                                              std::string& unreadable) {
    MeasuredRecording measured = RecordingEntry(fileName);
    unreadable = std::move(measured.unreadable);
    return measured.entry;
}

} // namespace

std::optional<interview_format::ReportEntry> ParticipantLine(const std::string& fileName,
                                                             std::string& unreadable) {
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
    return ListedRecording(fileName, unreadable);
}

interview_format::ReportEntry ResumedParticipantLine(const std::string& fileName,
                                                     std::string& unreadable, std::int64_t& cut) {
    cut = 0;
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
    return ListedRecording(fileName, unreadable);
}

std::vector<std::string> AddResumedRecordings(ReportLines& report, const std::string& folder,
                                              const std::vector<long long>& numbers) {
    std::vector<std::string> mended;
    for (const long long number : numbers) {
        std::string unreadable;
        std::int64_t cut = 0;
        report.Add(ResumedParticipantLine(RecordingFileName(folder, number), unreadable, cut));
        if (!unreadable.empty())
            report.NoteUnreadable(std::move(unreadable));
        if (cut > 0)
            mended.push_back(RecordingTailCutText(interview_format::RecordingName(number), cut));
    }
    return mended;
}

} // namespace station
