#include "station/safeguards/StationLog.h"

#include "platform/FileStream.h"
#include "platform/PathNames.h"
#include "station/OperatorTexts.h"

#include <cstdlib>
#include <filesystem>

namespace station {

namespace {

// A text that cannot split its line or hide in a control sequence.
std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& character : line)
        if (static_cast<unsigned char>(character) < 0x20 || character == 0x7F)
            character = ' ';
    return line;
}

} // namespace

std::string StationLog::DefaultPath() {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string folder;
    if (state && *state == '/') {
        folder = state;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home)
            return {};
        folder = std::string(home) + "/.local/state";
    }
    return folder + "/interview-station/station.log";
}

StationLog::StationLog(std::string path, FailureReport onFailure, Clock now)
    : path_(std::move(path)), onFailure_(std::move(onFailure)), now_(std::move(now)) {}

void StationLog::SetInterview(std::string interview) {
    std::lock_guard guard(lock_);
    interview_ = OneLine(interview);
}

bool StationLog::ParametersSaved(std::string_view region, std::string_view schoolName,
                                 std::string_view schoolCode6, std::string_view room3) {
    return Write(ParametersSavedLogText(region, schoolName, schoolCode6, room3));
}

bool StationLog::ReadinessConfirmed(std::string_view interviewDir) {
    return Write(ReadinessConfirmedLogText(interviewDir));
}

bool StationLog::RecordingStarted(std::string_view fileName) {
    return Write(RecordingStartedLogText(platform::FileNameOf(fileName)));
}

bool StationLog::RecordingStopped(std::string_view fileName, std::chrono::seconds duration,
                                  std::chrono::milliseconds lost) {
    const long long seconds = duration.count() < 0 ? 0 : duration.count();
    std::string line =
        RecordingStoppedLogText(platform::FileNameOf(fileName), seconds / 60, seconds % 60);
    if (lost.count() > 0)
        line += LostAudioLogSuffix(lost);
    return Write(line);
}

bool StationLog::RecordingNotMade(std::string_view fileName) {
    return Write(RecordingNotMadeLogText(platform::FileNameOf(fileName)));
}

bool StationLog::Failure(std::string_view text) {
    return Write(FailureLogText(text));
}

bool StationLog::Warning(std::string_view text) {
    return Write(WarningLogText(text));
}

bool StationLog::InterviewClosed(std::string_view reportName, std::int64_t participants) {
    return Write(InterviewClosedLogText(reportName, participants));
}

bool StationLog::ArchiveWritten(std::string_view archivePath) {
    return Write(ArchiveWrittenLogText(archivePath));
}

bool StationLog::ArchiveFailed(std::string_view reason) {
    return Write(ArchiveFailedLogText(reason));
}

bool StationLog::Write(std::string_view event) noexcept {
    std::string failure;
    bool written = false;
    bool report = false;
    try {
        const std::string time = platform::FormatDateTime("yyyy-mm-dd hh:nn:ss", now_());
        std::lock_guard guard(lock_);
        const std::string line = time + " " +
                                 (interview_.empty() ? std::string() : "[" + interview_ + "] ") +
                                 OneLine(event) + "\n";
        Append(line);
        written = true;
    } catch (const std::exception& error) {
        failure = error.what();
        report = !failureReported_.exchange(true);
    } catch (...) {
        failure = "unknown failure";
        report = !failureReported_.exchange(true);
    }
    if (report && onFailure_) {
        try {
            onFailure_(FailurePrefix + failure);
        } catch (...) {
            // The exam goes on whatever the report's receiver does.
        }
    }
    return written;
}

void StationLog::Append(const std::string& line) {
    if (!file_) {
        // Opened again after each failure, so that a log folder set right resumes the log.
        if (path_.empty())
            throw platform::FileError("no home folder (HOME) to keep the log in");
        const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error)
            throw platform::FileError("Cannot create folder \"" + folder.string() + "\". " +
                                          error.message(),
                                      platform::CauseOfError(error.value()));
        file_ = platform::AppendFile::Open(path_);
    }
    try {
        file_->Append(line);
    } catch (const platform::FileError&) {
        file_.reset();
        throw;
    }
}

} // namespace station
