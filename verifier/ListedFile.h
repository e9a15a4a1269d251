// One archive entry held against the report line that lists it.
#pragma once

#include "interview_format/Report.h"
#include "verifier/Mp3Walk.h"
#include "verifier/ZipReader.h"

#include <string>

namespace interview_check {

// The declared size is compared first (a mismatch reads nothing); then the entry is decompressed
// once, counted and checksummed, each piece also handed to `walk` when given. Returns the reason
// the entry does not match its line, or an empty text.
std::string CheckListedFile(const ZipReader& reader, const ZipEntry& entry,
                            const interview_format::ReportEntry& line, Mp3Walk* walk);

// "в отчёте <listed>, в архиве <found>" for a reason's details.
std::string ListedAgainstFound(const std::string& listed, const std::string& found);

} // namespace interview_check
