// Whether the school code and room, as typed, still give names that the Desktop's file system
// takes. Both fields go padded into the names of the interview folder, the report and the archive
// (the report's name is the longest of the three); a name over the file system's limit would make
// the folder or the report impossible to create once the interview is under way. The station runs
// this check when the parameters are saved and refuses them with TooLongFieldText.
#pragma once

#include "platform/DateTime.h"

#include <cstddef>
#include <string>

namespace station {

enum class TooLongField {
    None,
    SchoolCode, // the school code alone makes a name too long
    Room,       // the room number alone makes a name too long
    Both        // each is too long alone, or only the two together are
};

// `schoolCode` and `room` as typed (they are padded here as the station pads them); `day` the date
// that goes into the names; `nameLimit` the longest name in bytes of its UTF-8 form.
TooLongField FindTooLongField(const std::string& schoolCode, const std::string& room,
                              platform::DateTime day, std::size_t nameLimit);

// The same against the limit of the file system that holds `desktop` (which may not exist yet).
TooLongField FindTooLongField(const std::string& desktop, const std::string& schoolCode,
                              const std::string& room, platform::DateTime day);

// The operator's message for a field that is too long; empty for TooLongField::None.
//   SchoolCode: "Код ОУ слишком длинный: имя папки, отчёта или архива превысит допустимую длину
//                имени файла."
//   Room:       "Номер аудитории слишком длинный: имя папки, отчёта или архива превысит допустимую
//                длину имени файла."
//   Both:       "Код ОУ и номер аудитории вместе слишком длинные: имя папки, отчёта или архива
//                превысит допустимую длину имени файла."
std::string TooLongFieldText(TooLongField field);

} // namespace station
