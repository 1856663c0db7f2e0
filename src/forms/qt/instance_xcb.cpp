// SPDX-License-Identifier: MIT
// One Monvert a display on X11, the ICCCM way: the running one owns a
// selection of its own. Ownership ends with its window or its connection, so
// a Monvert that died, however, never holds the display. A second start
// sends the owner a message and ends.
#include "forms/application.h"

#include "forms/form.h"
#include "forms/qt/dispatch.h"
#include "forms/qt/instance_xcb.h"
#include "forms/qt/session_xcb.h"
#include "forms/qt/widgets.h"
#include "forms/qt/xcb.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#include <cstdlib>
#include <string_view>

namespace Monvert::Forms {

namespace {

constexpr std::string_view Selection = "_MONVERT_WINDOW";
constexpr std::string_view ReopenMessage = "_MONVERT_REOPEN";
// Its first datum is the command: 1 from Lire, 2 from Euro.
constexpr std::string_view ConvertMessage = "_MONVERT_CONVERT";

struct Atoms
{
    xcb_atom_t selection = XCB_ATOM_NONE;
    xcb_atom_t reopen = XCB_ATOM_NONE;
    xcb_atom_t convert = XCB_ATOM_NONE;
};

Atoms internAtoms(xcb_connection_t *connection)
{
    const auto atoms
        = Forms::internAtoms<3>(connection, {Selection, ReopenMessage, ConvertMessage});
    return {atoms[0], atoms[1], atoms[2]};
}

// Asks the display's Monvert, if there is one, to convert the clipboard or
// to bring its window back.
bool askOwner(xcb_connection_t *connection, const Atoms &atoms,
              std::optional<ClipboardCommand> command)
{
    if (atoms.selection == XCB_ATOM_NONE)
        return false;
    const auto reply = owned(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, atoms.selection), nullptr));
    if (!reply || reply->owner == XCB_WINDOW_NONE)
        return false;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = reply->owner;
    message.type = command ? atoms.convert : atoms.reopen;
    message.data.data32[0] = !command ? 0 : *command == ClipboardCommand::FromLire ? 1 : 2;
    xcb_send_event(connection, 0, reply->owner, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&message));
    return true;
}

// A request flushed just before the connection closes can be lost with it;
// once a reply has come back, everything sent before it has been handled.
void roundTrip(xcb_connection_t *connection)
{
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

class InstanceGuard final : public QObject, public QAbstractNativeEventFilter
{
public:
    InstanceGuard(Form &form, const Atoms &atoms)
        : QObject(widgetOf(form))
        , m_form(form)
        , m_atoms(atoms)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
            return false;
        const auto *client = reinterpret_cast<const xcb_client_message_event_t *>(event);
        if (client->window != xcb_window_t(m_form.hWnd()))
            return false;
        if (client->type == m_atoms.reopen) {
            m_form.BringBack();
            return true;
        }
        const std::uint32_t command = client->data.data32[0];
        if (client->type != m_atoms.convert || (command != 1 && command != 2))
            return false;
        if (m_form.ConvertClipboard)
            dispatch(u"Form", "ConvertClipboard", [&] {
                m_form.ConvertClipboard(command == 1 ? ClipboardCommand::FromLire
                                                     : ClipboardCommand::FromEuro);
            });
        return true;
    }

private:
    Form &m_form;
    const Atoms m_atoms;
};

} // namespace

bool askRunningInstance(xcb_connection_t *connection, std::optional<ClipboardCommand> command)
{
    const bool asked = askOwner(connection, internAtoms(connection), command);
    if (asked)
        roundTrip(connection);
    return asked;
}

bool claimDisplay(Form &form, std::optional<ClipboardCommand> command)
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return true;
    xcb_connection_t *connection = x11->connection();
    const Atoms atoms = internAtoms(connection);
    const auto window = xcb_window_t(form.hWnd());
    // Another start may have got here since the check before Qt started, or
    // be here now: looking for an owner and claiming are one step under a
    // grab of the server, so of two starts at the same moment one claims and
    // the other finds it.
    xcb_grab_server(connection);
    const bool another = askOwner(connection, atoms, command);
    if (!another)
        xcb_set_selection_owner(connection, window, atoms.selection, XCB_CURRENT_TIME);
    xcb_ungrab_server(connection);
    roundTrip(connection);
    if (another)
        return false;
    new InstanceGuard(form, atoms);
    endWithWindow(widgetOf(form));
    return true;
}

} // namespace Monvert::Forms
