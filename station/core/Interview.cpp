#include "station/core/Interview.h"

#include "interview_format/InterviewNames.h"
#include "station/ExistingRecordings.h"
#include "station/Naming.h"
#include "station/OperatorTexts.h"
#include "station/Report.h"
#include "station/TextRules.h"
#include "station/core/Attempt.h"
#include "station/core/Calendar.h"
#include "station/core/FolderClaim.h"
#include "station/core/ParticipantLine.h"
#include "station/core/UnreadableRecordings.h"
#include "station/safeguards/NameLengthCheck.h"
#include "station/safeguards/OperatorMessages.h"

#include <exception>
#include <filesystem>

namespace station {

namespace {

// Whether something other than a folder stands at the folder's own name: a link (to a folder or
// nowhere) or a file. Recordings and the report must land in the interview folder, never wherever
// a link points.
bool NoFolderAt(const std::string& folder) {
    std::error_code error;
    const auto type = std::filesystem::symlink_status(folder, error).type();
    return type != std::filesystem::file_type::not_found &&
           type != std::filesystem::file_type::directory;
}

// Creates the folder with its missing parents; refused when something else stands at its name,
// before or after.
Outcome MakeInterviewFolder(const std::string& folder) {
    if (NoFolderAt(folder))
        return Outcome::Failed(FolderIsNoFolderText(folder));
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && !std::filesystem::is_directory(folder, error))
        error = std::make_error_code(std::errc::not_a_directory);
    if (error)
        return Outcome::Failed(FolderNotCreatedText(
            folder, OperatorText(error.message(), platform::CauseOfError(error.value()))));
    if (NoFolderAt(folder))
        return Outcome::Failed(FolderIsNoFolderText(folder));
    return Outcome::Done();
}

// Whether the parameters can be stored as typed.
Outcome CheckParameters(const ParameterTexts& texts) {
    for (const std::string* text :
         {&texts.region, &texts.schoolName, &texts.schoolCode, &texts.room})
        if (text->empty())
            return Outcome::Failed(IncompleteParametersText);
    // The code and the room become parts of folder and file names: a separator in them would put
    // the interview outside the Desktop.
    if (HasUnsafeNameCharacter(texts.schoolCode) || HasUnsafeNameCharacter(texts.room))
        return Outcome::Failed(UnsafeNameCharacterText);
    // Each typed value is one field of one report line: a line break pasted into it would split
    // that line and shift every later one.
    if (HasControlCharacter(texts.region) || HasControlCharacter(texts.schoolName))
        return Outcome::Failed(ControlCharacterText);
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
            return Outcome::Failed(UnreportableCharacterText(field.field, *character));
    // The receiving side may unpack on Windows, which drops a trailing space or dot from a name.
    for (const auto& field : {fields[2], fields[3]})
        if (!interview_format::IsNamePart(*field.text))
            return Outcome::Failed(NameEndingText(field.field));
    return Outcome::Done();
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
    : services_(services), watch_(services, observers_, state_, exam_,
                                  [this](RecordingBanner banner) { ShowBanner(banner); }),
      closer_(
          services, observers_, state_, [this](CloseStep step) { ShowCloseStep(step); },
          [this] { return ended_; }),
      recorder_(ExamChainSettings(), services.sound,
                {.levelChanged = [this](std::int64_t position) { LevelChanged(position); },
                 .failed = [this] { RecordingFailed(); },
                 // Each finished file's line, handed in by the recording's worker.
                 .finished =
                     [this](const std::string& fileName) {
                         std::optional<ParticipantEntry> entry = ParticipantLine(fileName);
                         if (!entry)
                             return;
                         report_.Add(std::move(entry->line));
                         // A pass that failed tells its failure in a box of its own; the checksum's
                         // failure for the file it could not make would tell it a second time.
                         if (!entry->unreadable.empty() && recorder_.FailureText().empty())
                             report_.NoteUnreadable(std::move(entry->unreadable));
                     },
                 .audioLost = [this](std::chrono::milliseconds lost) { AudioLost(lost); }},
                services.examChain) {}

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

void Interview::ShowBanner(RecordingBanner banner) {
    exam_.banner = banner;
    PublishExam();
}

void Interview::PublishElapsed() {
    observers_.Notify([&](StationObserver& observer) { observer.ElapsedChanged(elapsed_); });
}

Outcome Interview::CheckNameLengths(const ParameterTexts& texts) const {
    std::string desktop;
    try {
        desktop = services_.desktopFolder();
    } catch (const std::exception&) {
        // Readiness names a Desktop that cannot be found; the names cannot be judged before.
        return Outcome::Done();
    }
    const TooLongField field =
        FindTooLongField(desktop, texts.schoolCode, texts.room, services_.calendar.Today());
    return field == TooLongField::None ? Outcome::Done() : Outcome::Failed(TooLongFieldText(field));
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
    for (const Outcome& check : {CheckParameters(texts), CheckNameLengths(texts)})
        if (!check) {
            state_.participant = 0;
            observers_.Tell(check.Message());
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
    FolderClaim claim;
    ExistingRecordings existing;
    const Outcome ready = [&] {
        if (Outcome named = Attempt([&] {
                folder = InterviewFolderFor(services_.desktopFolder(), state_.examDate,
                                            state_.schoolCode6, state_.room3);
            });
            !named)
            return named;
        if (Outcome made = MakeInterviewFolder(folder); !made)
            return made;
        // Claimed before anything is read or started, so that a second window refuses while it
        // has changed nothing.
        if (Outcome claimed = ClaimFolder(folder, claim); !claimed)
            return claimed;
        return Attempt([&] { existing = FindExistingRecordings(folder); });
    }();
    if (!ready) {
        observers_.Tell(ready.Message());
        return false;
    }
    state_.folder = folder;
    folderClaim_ = std::move(claim.lock);
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
    if (const Outcome opened = Attempt([&] { recorder_.OpenCapture(); }); !opened)
        observers_.Tell(opened.Message());

    if (const std::string notice = ResumeNotice(existing); !notice.empty())
        observers_.Tell({notice});
    if (!claim.unclaimed.empty())
        observers_.Tell({FolderNotClaimedText(claim.unclaimed)});
    return true;
}

} // namespace station
