// Recordings the report lists but could not read to their end.
#pragma once

namespace station {

class ObserverList;
class ReportLines;

// Tells the operator, and so the work log, of each listed file that could not be read.
void TellUnreadable(ReportLines& report, ObserverList& observers);

} // namespace station
