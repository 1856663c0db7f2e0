// SPDX-License-Identifier: MIT
// The session on the desktop: the display, the end of the program, and a
// filter of the events other programs cause on X11.
#include "forms/qt/session_xcb.h"

#include "forms/qt/display_wayland.h"
#include "forms/qt/instance_posix.h"
#include "forms/qt/instance_xcb.h"
#include "forms/qt/process_posix.h"
#include "forms/qt/xcb.h"
#include "rules/messages.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPointer>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

namespace Monvert::Forms {

namespace {

// The window whose destruction ends the program. Tooltips, menus, drag and
// input-method windows come and go, and Qt still knows some of them as they go.
QPointer<const QWidget> mainWindow;

class SessionGuard final : public QObject, public QAbstractNativeEventFilter
{
public:
    SessionGuard()
        : QObject(QCoreApplication::instance())
    {
        quitOnSignals(this);
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

DisplayCheck checkDisplay(const WindowOptions &options)
{
    const std::optional<ClipboardCommand> command = options.convert;
    const std::string platform
        = options.platform.value_or(qEnvironmentVariable("QT_QPA_PLATFORM").toStdString());
    const char *display = options.display ? options.display->c_str() : nullptr;
    // Other platforms (Wayland, offscreen, ...) report their own failures.
    if (!platform.empty() && platform.rfind("xcb", 0) != 0)
        return {};
    if (!display)
        display = std::getenv("DISPLAY");
    DisplayCheck check;
    if (!display || !*display) {
        // Qt would go on to its Wayland platform, unless X11 was asked for.
        if (!platform.empty())
            check.missing = translated("no display to show the window on: DISPLAY is not set");
        else if (auto why = whyNoWaylandWindow())
            check.missing = std::move(why);
        // Without a place to meet, every start would open a window of its own.
        else if (!socketAddress())
            check.missing = translated("no folder to find the running window in: "
                                       "XDG_RUNTIME_DIR is not set, or too long");
        else
            check.asked = askOverSocket(command);
        return check;
    }
    // One connection for both questions: the display, and a Monvert on it.
    xcb_connection_t *connection = xcb_connect(display, nullptr);
    check.display = display;
    if (xcb_connection_has_error(connection))
        check.missing = filledIn(translated("cannot open display '%s'"), {display});
    else
        check.asked = askRunningInstance(connection, command);
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
