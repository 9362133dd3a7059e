#include "startup.h"

#include <QByteArray>
#include <QFileInfo>
#include <QLibraryInfo>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

// The connection that found the X display open, kept until Qt has its own: an
// X server with no client left resets itself, and a connection made during
// that reset fails.
xcb_connection_t *g_probe = nullptr;

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
        if (!xcb_connection_has_error(connection)) {
            g_probe = connection;
            return std::nullopt;
        }
        xcb_disconnect(connection);
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

void displayOpened()
{
    if (g_probe)
        xcb_disconnect(g_probe);
    g_probe = nullptr;
}

} // namespace platform
