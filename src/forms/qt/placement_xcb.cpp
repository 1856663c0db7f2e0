// SPDX-License-Identifier: MIT
// Window placement on X11, through Qt's xcb connection.
#include "forms/placement.h"

#include "forms/qt/native.h"
#include "forms/qt/placement_xcb.h"
#include "forms/qt/units.h"

#include "forms/qt/xcb.h"
#include "rules/messages.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
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

enum Atom {
    NetWmState,
    SkipTaskbar,
    SkipPager,
    Above,
    Shaded,
    ActiveWindow,
    FrameExtents,
    WmDesktop,
    CurrentDesktop,
    WmStateAtom,
    Supported,
    MoveResize,
    AtomCount
};

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

    static constexpr std::array<std::string_view, AtomCount> names{"_NET_WM_STATE",
                                                                   "_NET_WM_STATE_SKIP_TASKBAR",
                                                                   "_NET_WM_STATE_SKIP_PAGER",
                                                                   "_NET_WM_STATE_ABOVE",
                                                                   "_NET_WM_STATE_SHADED",
                                                                   "_NET_ACTIVE_WINDOW",
                                                                   "_NET_FRAME_EXTENTS",
                                                                   "_NET_WM_DESKTOP",
                                                                   "_NET_CURRENT_DESKTOP",
                                                                   "WM_STATE",
                                                                   "_NET_SUPPORTED",
                                                                   "_NET_MOVERESIZE_WINDOW"};
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

// The states the window keeps whenever it is mapped: no taskbar button, no
// place in the pager, and above ordinary windows if it was placed there.
std::vector<xcb_atom_t> keptStates(const X11 &x11, const QWidget *window)
{
    std::vector<xcb_atom_t> states{x11.atoms[SkipTaskbar], x11.atoms[SkipPager]};
    if (const Form::Native *form = nativeOf(window); form && form->aboveAll)
        states.push_back(x11.atoms[Above]);
    return states;
}

// Where the start placement counts from: the screen's corner where a
// monitor shows it; where none does (monitors of different heights aligned
// at the bottom), the corner of the primary monitor's work area, so that the
// whole window is on a monitor.
QPoint placementOrigin()
{
    if (QGuiApplication::screenAt(QPoint(0, 0)))
        return {};
    const QScreen *primary = QGuiApplication::primaryScreen();
    return primary ? primary->availableGeometry().topLeft() : QPoint();
}

// A screen's rectangle in the server's pixels: Qt keeps its origin as the
// server has it and counts its size at its own density.
QRect nativeGeometry(const QScreen *screen)
{
    const QRect logical = screen->geometry();
    return {logical.topLeft(), (QSizeF(logical.size()) * screen->devicePixelRatio()).toSize()};
}

// A point in the server's pixels, in Qt's, as Qt counts it for the window:
// by the screen Qt has it on, which it counts it back by.
QPoint fromNative(const QWidget *window, QPoint native)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return native;
    const QPoint origin = screen->geometry().topLeft();
    return origin + (QPointF(native - origin) / screen->devicePixelRatio()).toPoint();
}

// Puts the frame's corner on a point and the client at a size, in the
// server's pixels, exactly: Qt's own pixels are coarser than the server's on
// a scaled screen. Asked of the window manager as EWMH has it, with
// north-west gravity, so that the point is the frame's; false where the
// window manager cannot be asked.
bool placeOnServer(const X11 &x11, QWidget *window, QPoint corner, QSize client)
{
    const std::vector<xcb_atom_t> supported = atomList(x11, x11.root, x11.atoms[Supported]);
    if (std::find(supported.begin(), supported.end(), x11.atoms[MoveResize]) == supported.end())
        return false;
    constexpr std::uint32_t NorthWest = 1;
    constexpr std::uint32_t XYWidthHeight = 0xF << 8;
    constexpr std::uint32_t FromApplication = 1 << 12;
    askWindowManager(x11, xcb_window_t(window->winId()), x11.atoms[MoveResize],
                     {NorthWest | XYWidthHeight | FromApplication, std::uint32_t(corner.x()),
                      std::uint32_t(corner.y()), std::uint32_t(client.width()),
                      std::uint32_t(client.height())});
    xcb_flush(x11.connection);
    return true;
}

// The window's outer rectangle, frame included, in the server's pixels, as
// the server has it rather than as the window manager last reported it:
// icewm reports the client at its frame's corner.
std::optional<QRect> frameOnServer(const X11 &x11, QWidget *window)
{
    if (!x11.connection || !window->isVisible())
        return std::nullopt;
    const auto id = xcb_window_t(window->winId());
    const auto extentsCookie
        = xcb_get_property(x11.connection, 0, id, x11.atoms[FrameExtents], XCB_ATOM_CARDINAL, 0, 4);
    const auto geometryCookie = xcb_get_geometry(x11.connection, id);
    const auto where = owned(xcb_translate_coordinates_reply(
        x11.connection, xcb_translate_coordinates(x11.connection, id, x11.root, 0, 0), nullptr));
    const auto geometry = owned(xcb_get_geometry_reply(x11.connection, geometryCookie, nullptr));
    const auto extents = owned(xcb_get_property_reply(x11.connection, extentsCookie, nullptr));
    if (!where || !geometry || !extents || xcb_get_property_value_length(extents.get()) != 16)
        return std::nullopt;
    const auto *sides = static_cast<const std::uint32_t *>(xcb_get_property_value(extents.get()));
    return QRect(where->dst_x - int(sides[0]), where->dst_y - int(sides[2]),
                 geometry->width + int(sides[0] + sides[1]),
                 geometry->height + int(sides[2] + sides[3]));
}

// Moves the frame's corner there, in Qt's pixels, the size as it is.
void moveFrame(QWidget *window, QPoint corner)
{
    window->move(corner);
    // A widget that is not shown yet keeps its geometry to itself, and on
    // showing hands it to its native window as the client's, with static
    // gravity. With the native window already where the widget will be, Qt
    // leaves it alone and the frame's position stands.
    if (QWindow *handle = window->windowHandle())
        handle->setFramePosition(corner);
}

// Where the start placement put the window, should a monitor take it away.
void placeAsAtStart(QWidget *window)
{
    const Form::Native *form = nativeOf(window);
    moveFrame(window, placementOrigin() + (form ? form->startPlace : QPoint()));
}

// Whether some monitor shows the whole window.
bool wholeOnAMonitor(const QRect &frame)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&](const QScreen *screen) {
        return nativeGeometry(screen).contains(frame);
    });
}

// A window on a monitor that goes away, or on none when another start asks
// for it, is placed again as at start.
void placeAgainIfLost(QWidget *window)
{
    if (const auto frame = frameOnServer(x11Session(), window); frame && !wholeOnAMonitor(*frame))
        placeAsAtStart(window);
}

} // namespace

bool SetWindowPos(WindowHandle hWnd, WindowHandle hWndInsertAfter, int X, int Y, int cx, int cy,
                  std::uint32_t uFlags)
{
    QWidget *window = QWidget::find(WId(hWnd));
    Form::Native *form = window ? nativeOf(window) : nullptr;
    if (!form)
        return false;
    const bool mapped = window->isVisible();
    const bool topmost = hWndInsertAfter == AboveAll;
    window->setAttribute(Qt::WA_ShowWithoutActivating, (uFlags & PlaceWithoutActivating) != 0);

    const X11 x11 = x11Session();
    form->aboveAll = topmost;
    if (x11.connection) {
        // Written straight to the window: a change of Qt's window flags would
        // make Qt create a new native window and leave the handle dangling.
        // A tool window has no taskbar button, which Qt asks for only on Windows.
        addStates(x11, xcb_window_t(hWnd), mapped, keptStates(x11, window));
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
    if (QWindow *handle = window->windowHandle())
        handle->resize(client);
    form->startPlace = QPoint(X, Y);
    placeAsAtStart(window);
    // Once, for the window's whole life: a monitor unplugged from under it.
    if (!form->watchesMonitors) {
        form->watchesMonitors = true;
        QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, window, [window] {
            // After the window manager's own answer to the change.
            QTimer::singleShot(0, window, [window] { placeAgainIfLost(window); });
        });
    }
    if (mapped || (uFlags & PlaceAndShow))
        window->show();
    return true;
}

void setWidthInPlace(QWidget *window, int clientWidth)
{
    // Where the frame really is, from the server: a resize made from the
    // window manager's last report moves the window by the frame's width and
    // height under icewm.
    const X11 x11 = x11Session();
    const std::optional<QRect> frame = frameOnServer(x11, window);
    const int height = window->height();
    window->setFixedWidth(clientWidth);
    // Qt sends its resize with the position it believes in and static
    // gravity; the frame's own corner, with north-west gravity, puts it back.
    const qreal ratio = window->devicePixelRatioF();
    const QSize client(int(std::lround(clientWidth * ratio)), int(std::lround(height * ratio)));
    if (frame && !placeOnServer(x11, window, frame->topLeft(), client) && window->windowHandle())
        window->windowHandle()->setFramePosition(fromNative(window, frame->topLeft()));
}

void bringToFront(QWidget *window)
{
    const X11 x11 = x11Session();
    if (!x11.connection)
        return;
    const auto id = xcb_window_t(window->winId());
    constexpr std::uint32_t FromPager = 2;
    // A window another program withdrew has lost its states with its place
    // (EWMH has the window manager forget them): written again while it is
    // unmapped, they come back with it.
    const auto wmState = owned(
        xcb_get_property_reply(x11.connection,
                               xcb_get_property(x11.connection, 0, id, x11.atoms[WmStateAtom],
                                                x11.atoms[WmStateAtom], 0, 1),
                               nullptr));
    constexpr std::uint32_t Withdrawn = 0;
    const bool withdrawn = !wmState || xcb_get_property_value_length(wmState.get()) < 4
        || *static_cast<const std::uint32_t *>(xcb_get_property_value(wmState.get())) == Withdrawn;
    if (withdrawn)
        addStates(x11, id, false, keptStates(x11, window));
    // Mapping is how a client takes an iconic or withdrawn window back to
    // the normal state (ICCCM 4.1.4); Qt may believe it is shown already and
    // skip it.
    xcb_map_window(x11.connection, id);
    if (!withdrawn) {
        addStates(x11, id, true, keptStates(x11, window));
        // Shaded, it would come back as its caption alone.
        constexpr std::uint32_t Remove = 0;
        askWindowManager(x11, id, x11.atoms[NetWmState],
                         {Remove, x11.atoms[Shaded], 0, FromPager, 0});
        // On the desktop the user is on now, unless it is on all of them:
        // some window managers only mark a window on another desktop as
        // wanting attention.
        const auto desktop = [&](xcb_window_t of, xcb_atom_t property) {
            const auto reply = owned(xcb_get_property_reply(
                x11.connection,
                xcb_get_property(x11.connection, 0, of, property, XCB_ATOM_CARDINAL, 0, 1),
                nullptr));
            return reply && xcb_get_property_value_length(reply.get()) == 4 ? std::optional(
                       *static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get())))
                                                                            : std::nullopt;
        };
        constexpr std::uint32_t AllDesktops = 0xFFFFFFFF;
        const auto current = desktop(x11.root, x11.atoms[CurrentDesktop]);
        const auto own = desktop(id, x11.atoms[WmDesktop]);
        if (current && own && *own != AllDesktops && *own != *current)
            askWindowManager(x11, id, x11.atoms[WmDesktop], {*current, FromPager, 0, 0, 0});
    }
    // The active-window request, made as a pager makes it, is one the window
    // manager grants even after focus has moved elsewhere.
    askWindowManager(x11, id, x11.atoms[ActiveWindow], {FromPager, XCB_CURRENT_TIME, 0, 0, 0});
    xcb_flush(x11.connection);
    placeAgainIfLost(window);
}

} // namespace Monvert::Forms
