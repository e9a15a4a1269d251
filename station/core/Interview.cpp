#include "station/core/Interview.h"

#include "interview_format/InterviewNames.h"
#include "station/ExistingRecordings.h"
#include "station/Naming.h"
#include "station/OperatorTexts.h"
#include "station/Report.h"
#include "station/TextRules.h"
#include "station/core/Attempt.h"
#include "station/core/Calendar.h"
#include "station/core/ParticipantLine.h"
#include "station/core/UnreadableRecordings.h"
#include "station/safeguards/InterviewFolderLock.h"
#include "station/safeguards/NameLengthCheck.h"
#include "station/safeguards/OperatorMessages.h"

#include <filesystem>

namespace station {

namespace {

// Creates the folder with its missing parents; the system's error when that fails.
std::error_code CreateInterviewFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && !std::filesystem::is_directory(folder, error))
        error = std::make_error_code(std::errc::not_a_directory);
    return error;
}

// Whether something other than a folder stands at the folder's own name: a link (to a folder or
// nowhere) or a file. Recordings and the report must land in the interview folder, never wherever
// a link points.
bool NoFolderAt(const std::string& folder) {
    std::error_code error;
    const auto type = std::filesystem::symlink_status(folder, error).type();
    return type != std::filesystem::file_type::not_found &&
           type != std::filesystem::file_type::directory;
}

// Why the parameters cannot be stored; empty when they can.
std::string Refusal(const ParameterTexts& texts) {
    for (const std::string* text :
         {&texts.region, &texts.schoolName, &texts.schoolCode, &texts.room})
        if (text->empty())
            return IncompleteParametersText;
    // The code and the room become parts of folder and file names: a separator in them would put
    // the interview outside the Desktop.
    if (HasUnsafeNameCharacter(texts.schoolCode) || HasUnsafeNameCharacter(texts.room))
        return UnsafeNameCharacterText;
    // Each typed value is one field of one report line: a line break pasted into it would split
    // that line and shift every later one.
    if (HasControlCharacter(texts.region) || HasControlCharacter(texts.schoolName))
        return ControlCharacterText;
    // The report is Windows-1251 and the receiver reads the code and the room up to the next
    // separator: what it cannot carry would turn into "?" or shift a field.
    const struct {
        const char* field;
        const std::string* text;
        const char* forbidden;
    } fields[] = {
        {RegionFieldName, &texts.region, ""},
        {SchoolNameFieldName, &texts.schoolName, ""},
        {SchoolCodeFieldName, &texts.schoolCode, ";"},
        {RoomFieldName, &texts.room, ";"},
    };
    for (const auto& field : fields)
        if (const auto character = FirstUnreportableCharacter(*field.text, field.forbidden))
            return UnreportableCharacterText(field.field, *character);
    // The receiving side may unpack on Windows, which drops a trailing space or dot from a name.
    for (const auto& field : {fields[2], fields[3]})
        if (!interview_format::IsNamePart(*field.text))
            return NameEndingText(field.field);
    return {};
}

// What the operator is told when the folder already holds entries named like recordings.
std::string ResumeNotice(const ExistingRecordings& existing) {
    std::string notice;
    if (!existing.recordings.empty())
        notice = ExistingRecordingsText(existing.recordings.size());
    if (const auto missing = existing.WithoutRecording(ReportLines::MostUnlistedParticipants);
        !missing.empty()) {
        std::string numbers;
        for (const long long number : missing)
            numbers += (numbers.empty() ? "" : ", ") + std::to_string(number);
        notice +=
            std::string(notice.empty() ? "" : " ") + ParticipantsWithoutRecordingText(numbers);
    }
    if (!existing.others.empty()) {
        std::string names;
        for (const long long number : existing.others)
            names += (names.empty() ? "" : ", ") + std::to_string(number) + ".mp3";
        notice += std::string(notice.empty() ? "" : " ") + RecordingNamedObjectsText(names);
    }
    if (!notice.empty())
        notice += NumberingContinuesText(existing.NextNumber());
    return notice;
}

} // namespace

Interview::Interview(const StationServices& services)
    : services_(services), watch_(services, observers_, state_, exam_, [this] { PublishExam(); }),
      closer_(
          services, observers_, state_, exam_, [this] { PublishExam(); },
          [this] { return ended_; }),
      recorder_(ExamChainSettings(), services.sound,
                {.levelChanged = [this](std::int64_t position) { LevelChanged(position); },
                 .failed = [this] { RecordingFailed(); },
                 // Each finished file's line, handed in by the recording's worker.
                 .finished =
                     [this](const std::string& fileName) {
                         std::string unreadable;
                         if (auto line = ParticipantLine(fileName, unreadable))
                             report_.Add(std::move(*line));
                         // A pass that failed tells its failure in a box of its own; the checksum's
                         // failure for the file it could not make would tell it a second time.
                         if (!unreadable.empty() && recorder_.FailureText().empty())
                             report_.NoteUnreadable(std::move(unreadable));
                     },
                 .audioLost = [this](std::chrono::milliseconds lost) { AudioLost(lost); }}) {}

Interview::~Interview() {
    // An archive being packed is finished, never left half written.
    closer_.WaitForPacking();
    // The last participant's file is completed while its line still has a report to go to; the
    // line is lost all the same, since only the close saves the report.
    recorder_.Stop();
    PassStopped();
}

void Interview::PublishExam() {
    observers_.Notify([&](StationObserver& observer) { observer.ExamChanged(exam_); });
}

void Interview::PublishElapsed() {
    observers_.Notify([&](StationObserver& observer) { observer.ElapsedChanged(elapsed_); });
}

std::string Interview::NameLengthRefusal(const ParameterTexts& texts) const {
    std::string desktop;
    try {
        desktop = services_.desktopFolder();
    } catch (const std::runtime_error&) {
        // Readiness names a Desktop that cannot be found; the names cannot be judged before.
        return {};
    }
    return TooLongFieldText(
        FindTooLongField(desktop, texts.schoolCode, texts.room, services_.calendar.Today()));
}

std::optional<OperationGate::Turn> Interview::TakeTurn(bool allows) {
    if (!allows || ended_)
        return std::nullopt;
    return gate_.Take();
}

void Interview::GateChanged() {
    exam_.operationRunning = gate_.Taken();
    PublishExam();
}

bool Interview::SaveParameters(const ParameterTexts& texts) {
    const auto turn = TakeTurn(!opened_);
    if (!turn)
        return false;
    // A refused save withdraws the parameters saved before: readiness must never open an
    // interview under values other than those the fields show.
    for (const std::string& refusal : {Refusal(texts), NameLengthRefusal(texts)})
        if (!refusal.empty()) {
            state_.participant = 0;
            observers_.Tell({refusal});
            return false;
        }
    state_.room = texts.room;
    state_.room3 = PadLeft(texts.room, '0', 3);
    state_.schoolCode = texts.schoolCode;
    state_.schoolCode6 = PadLeft(texts.schoolCode, '0', 6);
    state_.region = texts.region;
    state_.schoolName = texts.schoolName;
    state_.participant = 1;
    state_.examDate = services_.calendar.Today();
    observers_.Notify([&](StationObserver& observer) { observer.ParametersSaved(state_); });
    return true;
}

bool Interview::ConfirmReadiness() {
    const auto turn = TakeTurn(!opened_ && state_.participant > 0);
    if (!turn)
        return false;
    closer_.OfferToCloseEarlierInterviews();
    std::string folder;
    ExistingRecordings existing;
    if (const auto failure = Attempt([&] {
            folder = InterviewFolderFor(services_.desktopFolder(), state_.examDate,
                                        state_.schoolCode6, state_.room3);
        })) {
        observers_.Tell(*failure);
        return false;
    }
    if (NoFolderAt(folder)) {
        observers_.Tell({FolderIsNoFolderText(folder)});
        return false;
    }
    if (const std::error_code error = CreateInterviewFolder(folder)) {
        observers_.Tell({FolderNotCreatedText(
            folder, OperatorText(error.message(), platform::CauseOfError(error.value())))});
        return false;
    }
    if (NoFolderAt(folder)) {
        observers_.Tell({FolderIsNoFolderText(folder)});
        return false;
    }
    // Claimed before anything is read or started, so that a second window refuses while it has
    // changed nothing.
    std::optional<platform::FolderLock> claim;
    std::string unclaimed;
    try {
        claim.emplace(ClaimInterviewFolder(folder));
    } catch (const InterviewInUse& refusal) {
        observers_.Tell({refusal.what()});
        return false;
    } catch (const platform::FileError& failure) {
        // A file system without locks must not stop the exam; the operator is told what the
        // claim would have prevented.
        unclaimed = failure.what();
    }
    if (const auto failure = Attempt([&] { existing = FindExistingRecordings(folder); })) {
        observers_.Tell(*failure);
        return false;
    }
    state_.folder = folder;
    folderClaim_ = std::move(claim);
    state_.participant = static_cast<std::int32_t>(existing.NextNumber());
    opened_ = true;

    report_.Begin(ReportFor(ReportHeadingOf(state_)));
    const std::vector<std::string> mended =
        AddResumedRecordings(report_, folder, existing.recordings);
    observers_.Notify([&](StationObserver& observer) { observer.InterviewOpened(state_); });
    TellUnreadable(report_, observers_);
    for (const std::string& text : mended)
        observers_.Tell({text, OperatorMessage::Kind::Warning});
    watch_.WarnOfSpaceAtReadiness();
    // The exam's capture runs from the opening of its page to the close, so that the first answer
    // begins at its click even while another program holds the microphone at a long latency. One
    // that cannot open is told as a failed start is; the next start tries again.
    if (const auto failure = Attempt([&] { recorder_.OpenCapture(); }))
        observers_.Tell(*failure);

    if (const std::string notice = ResumeNotice(existing); !notice.empty())
        observers_.Tell({notice});
    if (!unclaimed.empty())
        observers_.Tell({FolderNotClaimedText(unclaimed)});
    return true;
}

} // namespace station
