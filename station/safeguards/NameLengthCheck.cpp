#include "station/safeguards/NameLengthCheck.h"

#include "platform/FileSystemFacts.h"
#include "station/Naming.h"
#include "station/UFunc.h"

#include <algorithm>

namespace {

std::string NameOf(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

// The longest of the names the interview gives its folder, report and archive, in bytes.
std::size_t LongestName(const std::string& kodOU6, const std::string& aud3,
                        platform::DateTime day) {
    const std::size_t folder = NameOf(InterviewDirFor(".", day, kodOU6, aud3)).size();
    const std::size_t report = ReportFileName(day, kodOU6, aud3).size();
    const std::size_t archive = NameOf(ArchiveFileName(".", day, kodOU6, aud3)).size();
    return std::max({folder, report, archive});
}

} // namespace

TooLongField FindTooLongField(const std::string& kodOU, const std::string& aud,
                              platform::DateTime day, std::size_t nameLimit) {
    const std::string kodOU6 = PadLeft(kodOU, '0', 6);
    const std::string aud3 = PadLeft(aud, '0', 3);
    if (LongestName(kodOU6, aud3, day) <= nameLimit)
        return TooLongField::None;
    // Each field is measured beside the shortest value the other one can take.
    const bool codeAlone = LongestName(kodOU6, PadLeft("", '0', 3), day) > nameLimit;
    const bool roomAlone = LongestName(PadLeft("", '0', 6), aud3, day) > nameLimit;
    if (codeAlone != roomAlone)
        return codeAlone ? TooLongField::SchoolCode : TooLongField::Room;
    return TooLongField::Both;
}

TooLongField FindTooLongField(const std::string& desktop, const std::string& kodOU,
                              const std::string& aud, platform::DateTime day) {
    return FindTooLongField(kodOU, aud, day, platform::NameLimit(desktop));
}

std::string TooLongFieldText(TooLongField field) {
    const std::string consequence =
        ": имя папки, отчёта или архива превысит допустимую длину имени файла.";
    switch (field) {
    case TooLongField::None:
        break;
    case TooLongField::SchoolCode:
        return "Код ОУ слишком длинный" + consequence;
    case TooLongField::Room:
        return "Номер аудитории слишком длинный" + consequence;
    case TooLongField::Both:
        return "Код ОУ и номер аудитории вместе слишком длинные" + consequence;
    }
    return {};
}
