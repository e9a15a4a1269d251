#include "station/core/UnreadableRecordings.h"

#include "station/core/ObserverList.h"
#include "station/core/ReportLines.h"

namespace station {

void TellUnreadable(ReportLines& report, ObserverList& observers) {
    for (const std::string& failure : report.TakeUnreadable())
        observers.Tell({failure, OperatorMessage::Kind::Error});
}

} // namespace station
