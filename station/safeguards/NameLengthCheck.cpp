#include "station/safeguards/NameLengthCheck.h"

#include "platform/FileSystemFacts.h"
#include "platform/PathNames.h"
#include "station/Naming.h"
#include "station/OperatorTexts.h"
#include "station/TextRules.h"

#include <algorithm>

namespace station {

namespace {

// The longest of the names the interview gives its folder, report and archive, in bytes.
std::size_t LongestName(const std::string& schoolCode6, const std::string& room3,
                        platform::DateTime day) {
    const std::size_t folder =
        platform::FileNameOf(InterviewFolderFor(".", day, schoolCode6, room3)).size();
    const std::size_t report = ReportFileName(day, schoolCode6, room3).size();
    const std::size_t archive =
        platform::FileNameOf(ArchiveFileName(".", day, schoolCode6, room3)).size();
    return std::max({folder, report, archive});
}

} // namespace

TooLongField FindTooLongField(const std::string& schoolCode, const std::string& room,
                              platform::DateTime day, std::size_t nameLimit) {
    const std::string schoolCode6 = PadLeft(schoolCode, '0', 6);
    const std::string room3 = PadLeft(room, '0', 3);
    if (LongestName(schoolCode6, room3, day) <= nameLimit)
        return TooLongField::None;
    // Each field is measured beside the shortest value the other one can take.
    const bool codeAlone = LongestName(schoolCode6, PadLeft("", '0', 3), day) > nameLimit;
    const bool roomAlone = LongestName(PadLeft("", '0', 6), room3, day) > nameLimit;
    if (codeAlone != roomAlone)
        return codeAlone ? TooLongField::SchoolCode : TooLongField::Room;
    return TooLongField::Both;
}

TooLongField FindTooLongField(const std::string& desktop, const std::string& schoolCode,
                              const std::string& room, platform::DateTime day) {
    return FindTooLongField(schoolCode, room, day, platform::NameLimit(desktop));
}

std::string TooLongFieldText(TooLongField field) {
    const std::string consequence = NameTooLongConsequence;
    switch (field) {
    case TooLongField::None:
        break;
    case TooLongField::SchoolCode:
        return SchoolCodeTooLongText + consequence;
    case TooLongField::Room:
        return RoomTooLongText + consequence;
    case TooLongField::Both:
        return SchoolCodeAndRoomTooLongText + consequence;
    }
    return {};
}

} // namespace station
