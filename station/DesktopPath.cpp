#include "station/DesktopPath.h"

#include "platform/Desktop.h"

std::string GetDesktopPath() {
    return platform::DesktopFolder();
}
