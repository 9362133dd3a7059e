#include "startup.h"

#include <QByteArray>
#include <QFileInfo>
#include <QLibraryInfo>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

// Why no display can be opened, or nothing when one can.
std::optional<QByteArray> displayProblem()
{
    // A platform that needs no display is honoured as asked.
    const QByteArray asked = qgetenv("QT_QPA_PLATFORM").split(';').first().split(':').first();
    if (!asked.isEmpty() && asked != "xcb" && !asked.startsWith("wayland"))
        return std::nullopt;
    const QByteArray x = qgetenv("DISPLAY");
    if (!x.isEmpty()) {
        xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
        const bool opened = !xcb_connection_has_error(connection);
        xcb_disconnect(connection);
        if (opened)
            return std::nullopt;
    }
    const bool wayland = !qgetenv("WAYLAND_DISPLAY").isEmpty();
    const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/");
    if (wayland && QFileInfo::exists(plugins + QStringLiteral("libqwayland-generic.so")))
        return std::nullopt;
    if (!x.isEmpty())
        return "the display " + x + " cannot be reached";
    if (wayland)
        return QByteArray("this Wayland session has no Qt plugin for it, and DISPLAY is not set");
    return QByteArray("DISPLAY is not set");
}

} // namespace

bool displayAvailable(const char *programName)
{
    const std::optional<QByteArray> problem = displayProblem();
    if (!problem)
        return true;
    std::fprintf(stderr, "%s: cannot open a display (%s): start it from a desktop session\n", programName,
                 problem->constData());
    return false;
}

} // namespace platform
