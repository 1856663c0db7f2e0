// SPDX-License-Identifier: MIT
#include "forms/qt/display_wayland.h"

#include "rules/messages.h"

#include <QDir>
#include <QGuiApplication>
#include <QLibraryInfo>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace Monvert::Forms {

namespace {

// Where libwayland-client looks: an absolute name, or one in XDG_RUNTIME_DIR.
bool waylandReachable(const char *name)
{
    std::string path = name;
    if (path.front() != '/') {
        const char *runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!runtime)
            return false;
        path = std::string(runtime) + '/' + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool reached = socket >= 0
        && ::connect(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (socket >= 0)
        ::close(socket);
    return reached;
}

bool waylandPlatformInstalled()
{
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath)
                         + QStringLiteral("/platforms"));
    return !platforms.entryList({QStringLiteral("libqwayland*")}, QDir::Files).isEmpty();
}

} // namespace

std::optional<std::string> whyNoWaylandWindow()
{
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    if (!wayland || !*wayland)
        return translated("no display to show the window on: DISPLAY is not set");
    if (!waylandReachable(wayland))
        return filledIn(translated("no display to show the window on: DISPLAY is not set "
                                   "and no Wayland compositor answers at '%s'"),
                        {wayland});
    if (!waylandPlatformInstalled())
        return translated("no display to show the window on: DISPLAY is not set, and "
                          "Qt's Wayland platform (package qt6-wayland) is not installed");
    return std::nullopt;
}

void choosePlatformBeforeStart()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    const bool wayland
        = qgetenv("XDG_SESSION_TYPE") == "wayland" || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (wayland && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

void reportPlacementLimits()
{
    if (QGuiApplication::platformName().startsWith(QLatin1StringView("wayland")))
        std::fputs(translated("Monvert: on Wayland the window can neither choose its place nor "
                              "stay above other windows.\n"),
                   stderr);
}

} // namespace Monvert::Forms
