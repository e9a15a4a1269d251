#include "platform/Desktop.h"

#include "platform/FailureCause.h"

#include <QStandardPaths>
#include <stdexcept>

namespace platform {

std::string DesktopFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    if (folder.isEmpty())
        throw Failure("Не удалось определить папку рабочего стола");
    return folder.toStdString();
}

} // namespace platform
