// SPDX-License-Identifier: MIT
// The session on Unix desktops: POSIX signals and, on X11, a filter of the
// events other programs cause.
#include "forms/qt/session_unix.h"

#include "forms/qt/instance_xcb.h"

#include "forms/qt/waits.h"
#include "forms/qt/xcb.h"
#include "rules/messages.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace Monvert::Forms {

namespace {

int signalPipe[2] = {-1, -1};

// The window whose destruction ends the program. Tooltips, menus, drag and
// input-method windows come and go, and Qt still knows some of them as they go.
QPointer<const QWidget> mainWindow;

extern "C" void onQuitSignal(int)
{
    // Waiting on another program's clipboard, which may never answer: the
    // clipboard is not ours then, so there is nothing to hand over.
    if (readingClipboard)
        _exit(0);
    const int saved = errno;
    const char byte = 1;
    // Nothing else is safe in a signal handler; the event loop does the rest.
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

class SessionGuard final : public QObject, public QAbstractNativeEventFilter
{
public:
    SessionGuard()
        : QObject(QCoreApplication::instance())
    {
        if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
            auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
            connect(notifier, &QSocketNotifier::activated, this, [] {
                char bytes[16];
                while (::read(signalPipe[0], bytes, sizeof bytes) > 0) { }
                QCoreApplication::quit();
            });
            struct sigaction action = {};
            action.sa_handler = onQuitSignal;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESTART;
            for (const int signal : {SIGTERM, SIGINT, SIGHUP})
                sigaction(signal, &action, nullptr);
        }
        const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (x11 && x11->connection()) {
            m_connection = x11->connection();
            m_multiple = internAtoms<1>(m_connection, {"MULTIPLE"})[0];
            QCoreApplication::instance()->installNativeEventFilter(this);
        }
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        switch (event->response_type & 0x7f) {
        case XCB_SELECTION_REQUEST:
            return refusedMultiple(*reinterpret_cast<const xcb_selection_request_event_t *>(event));
        case XCB_DESTROY_NOTIFY: {
            // Qt forgets its main window before it destroys it; while it
            // still knows it, another program destroyed it.
            const auto *destroyed = reinterpret_cast<const xcb_destroy_notify_event_t *>(event);
            if (destroyed->window == destroyed->event && mainWindow
                && QWidget::find(WId(destroyed->window)) == mainWindow)
                QCoreApplication::quit();
            return false;
        }
        default: return false;
        }
    }

private:
    // A MULTIPLE request names a property of the requestor's that holds pairs
    // of atoms. Qt 6.4 trusts its length and reads and writes past the end of
    // its buffer when it holds no whole number of pairs, and any program on
    // the display can send one, or change the list between a check here and
    // Qt's own read. So no MULTIPLE request reaches Qt: each is refused, as
    // ICCCM lets an owner do, and the requestor asks for one target at a
    // time, as every clipboard client does anyway for plain text.
    bool refusedMultiple(const xcb_selection_request_event_t &request) const
    {
        if (request.target != m_multiple || m_multiple == XCB_ATOM_NONE)
            return false;
        xcb_selection_notify_event_t refusal{};
        refusal.response_type = XCB_SELECTION_NOTIFY;
        refusal.time = request.time;
        refusal.requestor = request.requestor;
        refusal.selection = request.selection;
        refusal.target = request.target;
        refusal.property = XCB_ATOM_NONE;
        xcb_send_event(m_connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(&refusal));
        xcb_flush(m_connection);
        return true;
    }

    xcb_connection_t *m_connection = nullptr;
    xcb_atom_t m_multiple = XCB_ATOM_NONE;
};

} // namespace

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

DisplayCheck checkDisplay(int argc, char **argv, std::optional<ClipboardCommand> command)
{
    std::string platform = qEnvironmentVariable("QT_QPA_PLATFORM").toStdString();
    const char *display = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "-platform" || option == "--platform")
            platform = argv[i + 1];
        else if (option == "-display" || option == "--display")
            display = argv[i + 1];
    }
    // Other platforms (Wayland, offscreen, ...) report their own failures.
    if (!platform.empty() && platform.rfind("xcb", 0) != 0)
        return {};
    if (!display)
        display = std::getenv("DISPLAY");
    if (!display || !*display) {
        const char *wayland = std::getenv("WAYLAND_DISPLAY");
        if (!platform.empty() || !wayland || !*wayland)
            return {translated("no display to show the window on: DISPLAY is not set")};
        // Qt would go on to its Wayland platform, and abort where that is
        // missing or no compositor answers.
        if (!waylandReachable(wayland))
            return {filledIn(translated("no display to show the window on: DISPLAY is not set "
                                        "and no Wayland compositor answers at '%s'"),
                             {wayland})};
        if (!waylandPlatformInstalled())
            return {translated("no display to show the window on: DISPLAY is not set, and "
                               "Qt's Wayland platform (package qt6-wayland) is not installed")};
        return {};
    }
    // One connection for both questions: the display, and a Monvert on it.
    xcb_connection_t *connection = xcb_connect(display, nullptr);
    DisplayCheck check;
    if (xcb_connection_has_error(connection))
        check.missing = filledIn(translated("cannot open display '%s'"), {display});
    else
        check.reopened = askRunningInstance(connection, command);
    xcb_disconnect(connection);
    return check;
}

namespace {

QtMessageHandler toolkitMessages = nullptr;

// Qt writes, up to eighteen times for each script a font lacks OpenType
// tables for (Syriac, Thaana, Devanagari on the clipboard), that it cannot
// shape it as well as it would like: the text still shows, and the user's
// terminal is no place for it.
void withoutFontWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1StringView("OpenType support missing for")))
        return;
    if (toolkitMessages)
        toolkitMessages(type, context, message);
}

} // namespace

int continueInBackground()
{
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0)
        return -1;
    const pid_t window = ::fork();
    if (window < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return -1;
    }
    if (window == 0) {
        ::close(channel[0]);
        // Out of the caller's session, so that closing its terminal does not end the window.
        ::setsid();
        return channel[1];
    }
    ::close(channel[1]);
    // A minute for a window to start on a busy machine; a window that ends
    // first closes the channel.
    pollfd ready{channel[0], POLLIN, 0};
    char byte = 0;
    const bool took = ::poll(&ready, 1, 60'000) > 0 && ::read(channel[0], &byte, 1) == 1;
    if (!took)
        std::fputs(translated("monvert: the window did not start to convert the clipboard\n"),
                   stderr);
    ::_exit(took ? 0 : 1);
}

void tellWaiting(int &waiting, bool took)
{
    if (waiting < 0)
        return;
    const char byte = 1;
    if (took && ::write(waiting, &byte, 1) != 1) {
        // The waiting process is gone: nobody to tell.
    }
    ::close(waiting);
    waiting = -1;
    // Whoever reads what the caller wrote waits for every writer to close.
    const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    for (const int stream : {0, 1, 2})
        ::dup2(nothing, stream);
    ::close(nothing);
}

void guardSession()
{
    toolkitMessages = qInstallMessageHandler(withoutFontWarnings);
    // Any program on the display may send requests naming atoms or
    // selections that do not exist; they are its own mistakes, and Qt would
    // write a warning to the user's terminal for each. QT_LOGGING_RULES, read
    // after these rules, still brings them back for whoever debugs.
    QLoggingCategory::setFilterRules(
        QStringLiteral("qt.qpa.clipboard.warning=false\nqt.qpa.xcb.warning=false"));
    new SessionGuard;
}

void endWithWindow(const QWidget *window)
{
    mainWindow = window;
}

} // namespace Monvert::Forms
