// The interview close: the last recording is finished, the report completed and saved into the
// interview folder, and the whole folder packed into a zip archive on the Desktop.
#include "archive/Compression.h"
#include "archive/StringUtils.h"
#include "station/Naming.h"
#include "station/Report.h"
#include "station/core/Attempt.h"
#include "station/core/Calendar.h"
#include "station/core/Interview.h"
#include "station/core/Prompt.h"

#include <algorithm>
#include <stdexcept>

namespace {

std::string OwnName(const std::string& folder) {
    return folder.substr(folder.find_last_of('/') + 1);
}

// Writes the zip of `folder` (under its own name inside) to `archiveName`. The archive object is
// released, and its file closed, whatever happens.
void PackFolder(const std::string& archiveName, const std::string& folder) {
    const archive::TCompressArchiveClass* format =
        archive::ArchiveFormats().CompressClassFor(archiveName);
    if (!format)
        throw std::runtime_error("No archive format for \"" + archiveName + "\"");
    const std::shared_ptr<archive::TCompressArchive> zip = format->Create(archiveName, 0, false);
    zip->AddDirectory(archive::Utf8ToWide(OwnName(folder)), folder, true, true);
    zip->Compress();
}

} // namespace

void Interview::Close() {
    // The last recording's file is complete and its report line appended when this returns.
    StopRecording();
    exam_.banner = RecordingBanner::None;
    PublishExam();

    // A close repeated after a failed save must not leave the earlier count line behind: the
    // report ends with exactly one, written with the count of the moment it is saved.
    report_.DropCountLines();
    // The count names the last participant who has a recording: after a restart the next number
    // is only reserved, and a pass that failed before its file existed recorded nobody. With no
    // recording at all the count stays 1, the smallest a report can carry.
    const auto participants =
        static_cast<std::int32_t>(std::max(1LL, report_.HighestRecordedParticipant()));
    report_.Append(CountLine(participants));
    const std::string reportName =
        ReportFileName(services_.calendar.Today(), state_.schoolCode6, state_.room3);
    if (const auto failure =
            Attempt([&] { SaveReport(report_.Lines(), state_.folder + "/" + reportName); })) {
        observers_.Tell(*failure);
        return;
    }
    closed_ = true;
    observers_.Notify([&](StationObserver& observer) {
        observer.ReportSaved({reportName, participants});
    });
    exam_.timerShown = false;
    exam_.closeShown = false;
    exam_.exitShown = true;
    exam_.nextEnabled = false;
    // A closed interview takes no further recordings: nothing would report or archive them.
    exam_.startEnabled = false;
    PublishExam();

    std::string archiveName;
    if (const auto failure = Attempt([&] {
            archiveName = ArchiveFileName(services_.desktopFolder(), services_.calendar.Today(),
                                          state_.schoolCode6, state_.room3);
            PackFolder(archiveName, state_.folder);
        })) {
        observers_.Tell(*failure);
        return;
    }
    observers_.Notify([&](StationObserver& observer) { observer.ArchiveWritten(archiveName); });
}

bool Interview::MayQuit() {
    if (!opened_ || closed_)
        return true;
    if (!services_.prompt.Confirm({"Собеседование не завершено. Выйти из программы?", ""}))
        return false;
    // The participant's file must be complete before anything is torn down.
    StopRecording();
    return true;
}
