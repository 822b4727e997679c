#include "platform/XcbPreference.h"

#include <QByteArray>
#include <QtGlobal>

namespace sorvane::platform {

bool preferXcbPlatform()
{
    // Qt treats an empty QT_QPA_PLATFORM like an unset one, so do we.
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return false;
    return qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace sorvane::platform
