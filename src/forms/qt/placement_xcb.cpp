// SPDX-License-Identifier: MIT
// Window placement on Unix desktops: X11 through Qt's xcb connection, and a
// word of warning on pure Wayland, where a client may neither place itself nor
// stay on top.
#include "forms/placement.h"

#include "forms/qt/placement_xcb.h"
#include "forms/qt/units.h"

#include "forms/qt/xcb.h"
#include "rules/messages.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace Monvert::Forms {

namespace {

enum Atom { NetWmState, SkipTaskbar, SkipPager, Above, ActiveWindow, FrameExtents, AtomCount };

struct X11
{
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = XCB_NONE;
    std::array<xcb_atom_t, AtomCount> atoms{};
};

X11 x11Session()
{
    X11 x11;
    const auto *native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!native || !native->connection())
        return x11;
    x11.connection = native->connection();
    x11.root = xcb_setup_roots_iterator(xcb_get_setup(x11.connection)).data->root;

    static constexpr std::array<std::string_view, AtomCount> names{
        "_NET_WM_STATE",       "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
        "_NET_WM_STATE_ABOVE", "_NET_ACTIVE_WINDOW",         "_NET_FRAME_EXTENTS"};
    x11.atoms = internAtoms(x11.connection, names);
    return x11;
}

std::vector<xcb_atom_t> atomList(const X11 &x11, xcb_window_t window, xcb_atom_t property)
{
    auto reply = owned(xcb_get_property_reply(
        x11.connection,
        xcb_get_property(x11.connection, 0, window, property, XCB_ATOM_ATOM, 0, 1024), nullptr));
    if (!reply || reply->type != XCB_ATOM_ATOM || reply->format != 32)
        return {};
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
    return {atoms, atoms + xcb_get_property_value_length(reply.get()) / 4};
}

// A request to the window manager about the window, as EWMH has them sent:
// a client message to the root window.
void askWindowManager(const X11 &x11, xcb_window_t window, xcb_atom_t type,
                      const std::array<std::uint32_t, 5> &data)
{
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = window;
    request.type = type;
    std::copy(data.begin(), data.end(), request.data.data32);
    xcb_send_event(x11.connection, 0, x11.root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&request));
}

// The states a window starts with are the client's to write while the window
// is unmapped; Qt merges its own into what it finds there when it maps it. Once
// mapped, they are asked of the window manager instead.
void addStates(const X11 &x11, xcb_window_t window, bool mapped,
               const std::vector<xcb_atom_t> &wanted)
{
    if (!mapped) {
        auto states = atomList(x11, window, x11.atoms[NetWmState]);
        for (const xcb_atom_t state : wanted) {
            if (std::find(states.begin(), states.end(), state) == states.end())
                states.push_back(state);
        }
        xcb_change_property(x11.connection, XCB_PROP_MODE_REPLACE, window, x11.atoms[NetWmState],
                            XCB_ATOM_ATOM, 32, std::uint32_t(states.size()), states.data());
        return;
    }
    constexpr std::uint32_t Add = 1;
    constexpr std::uint32_t FromApplication = 1;
    for (std::size_t i = 0; i < wanted.size(); i += 2) {
        askWindowManager(
            x11, window, x11.atoms[NetWmState],
            {Add, wanted[i], i + 1 < wanted.size() ? wanted[i + 1] : 0, FromApplication, 0});
    }
}

} // namespace

bool SetWindowPos(WindowHandle hWnd, WindowHandle hWndInsertAfter, int X, int Y, int cx, int cy,
                  std::uint32_t uFlags)
{
    QWidget *window = QWidget::find(WId(hWnd));
    if (!window || !window->isWindow())
        return false;
    const bool mapped = window->isVisible();
    const bool topmost = hWndInsertAfter == AboveAll;
    window->setAttribute(Qt::WA_ShowWithoutActivating, (uFlags & PlaceWithoutActivating) != 0);

    const X11 x11 = x11Session();
    if (x11.connection) {
        // Written straight to the window: a change of Qt's window flags would
        // make Qt create a new native window and leave the handle dangling.
        // A tool window has no taskbar button, which Qt asks for only on Windows.
        std::vector<xcb_atom_t> states{x11.atoms[SkipTaskbar], x11.atoms[SkipPager]};
        if (topmost)
            states.push_back(x11.atoms[Above]);
        addStates(x11, xcb_window_t(hWnd), mapped, states);
        xcb_flush(x11.connection);
    } else if (topmost) {
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }

    // The client area is what the reference frame leaves of the size asked
    // for, whatever frame this window manager draws: a thicker one adds to
    // the outside instead of eating the controls. The position is the
    // frame's own: Qt asks the window manager for north-west gravity, so the
    // frame's corner lands there whatever its size, even when no window
    // manager has told it yet or one starts later.
    // Pixels at 96 dpi, counted at the screen's own density as twips are.
    const double scale = screenScale(window);
    const QSize client(
        std::max(1, int(std::lround((cx - ReferenceFrame.left - ReferenceFrame.right) * scale))),
        std::max(1, int(std::lround((cy - ReferenceFrame.top - ReferenceFrame.bottom) * scale))));
    window->setFixedSize(client);
    window->move(X, Y);
    // A widget that is not shown yet keeps its geometry to itself, and on
    // showing hands it to its native window as the client's, with static
    // gravity. With the native window already where the widget will be, Qt
    // leaves it alone and the frame's position stands.
    if (QWindow *handle = window->windowHandle()) {
        handle->resize(client);
        handle->setFramePosition(QPoint(X, Y));
    }
    if (mapped || (uFlags & PlaceAndShow))
        window->show();
    return true;
}

void setWidthInPlace(QWidget *window, int clientWidth)
{
    // Where the frame really is, from the server rather than from what the
    // window manager last reported: icewm reports the client at its frame's
    // corner, and a resize made from that report moves the window by the
    // frame's width and height.
    std::optional<QPoint> frame;
    const X11 x11 = x11Session();
    if (x11.connection && window->isVisible()) {
        const auto id = xcb_window_t(window->winId());
        const auto extentsCookie = xcb_get_property(x11.connection, 0, id, x11.atoms[FrameExtents],
                                                    XCB_ATOM_CARDINAL, 0, 4);
        const auto where = owned(xcb_translate_coordinates_reply(
            x11.connection, xcb_translate_coordinates(x11.connection, id, x11.root, 0, 0),
            nullptr));
        const auto extents = owned(xcb_get_property_reply(x11.connection, extentsCookie, nullptr));
        if (where && extents && xcb_get_property_value_length(extents.get()) == 16) {
            const auto *sides
                = static_cast<const std::uint32_t *>(xcb_get_property_value(extents.get()));
            const qreal ratio = window->devicePixelRatioF();
            frame = QPoint(int(std::lround((where->dst_x - int(sides[0])) / ratio)),
                           int(std::lround((where->dst_y - int(sides[2])) / ratio)));
        }
    }
    window->setFixedWidth(clientWidth);
    // Qt sends its resize with the position it believes in and static
    // gravity; the frame's own corner, with north-west gravity, puts it back.
    if (frame && window->windowHandle())
        window->windowHandle()->setFramePosition(*frame);
}

void bringToFront(QWidget *window)
{
    const X11 x11 = x11Session();
    if (!x11.connection)
        return;
    const auto id = xcb_window_t(window->winId());
    // Mapping is how a client takes an iconic or withdrawn window back to
    // the normal state (ICCCM 4.1.4); Qt may believe it is shown already and
    // skip it. The active-window request, made as a pager makes it, is one
    // the window manager grants even after focus has moved elsewhere.
    xcb_map_window(x11.connection, id);
    constexpr std::uint32_t FromPager = 2;
    askWindowManager(x11, id, x11.atoms[ActiveWindow], {FromPager, XCB_CURRENT_TIME, 0, 0, 0});
    xcb_flush(x11.connection);
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
