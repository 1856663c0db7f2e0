// SPDX-License-Identifier: MIT
// One Monvert a display on X11, the ICCCM way: the running one owns a
// selection of its own. Ownership ends with its window or its connection, so
// a Monvert that died, however, never holds the display. A second start
// sends the owner a message and ends.
#include "forms/application.h"

#include "forms/form.h"
#include "forms/qt/dispatch.h"
#include "forms/qt/instance_posix.h"
#include "forms/qt/instance_xcb.h"
#include "forms/qt/session_xcb.h"
#include "forms/qt/widgets.h"
#include "forms/qt/xcb.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#include <chrono>
#include <cstdlib>
#include <string_view>

#include <poll.h>

namespace Monvert::Forms {

namespace {

constexpr std::string_view Selection = "_MONVERT_WINDOW";
constexpr std::string_view ReopenMessage = "_MONVERT_REOPEN";
// Its first datum is the command: 1 from Lire, 2 from Euro; its second a
// window of the asker's, on which the outcome is written as a property.
constexpr std::string_view ConvertMessage = "_MONVERT_CONVERT";
constexpr std::string_view OutcomeProperty = "_MONVERT_OUTCOME";

struct Atoms
{
    xcb_atom_t selection = XCB_ATOM_NONE;
    xcb_atom_t reopen = XCB_ATOM_NONE;
    xcb_atom_t convert = XCB_ATOM_NONE;
    xcb_atom_t outcome = XCB_ATOM_NONE;
};

Atoms internAtoms(xcb_connection_t *connection)
{
    const auto atoms = Forms::internAtoms<4>(
        connection, {Selection, ReopenMessage, ConvertMessage, OutcomeProperty});
    return {atoms[0], atoms[1], atoms[2], atoms[3]};
}

xcb_window_t ownerOf(xcb_connection_t *connection, const Atoms &atoms)
{
    if (atoms.selection == XCB_ATOM_NONE)
        return XCB_WINDOW_NONE;
    const auto reply = owned(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, atoms.selection), nullptr));
    return reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
}

void sendTo(xcb_connection_t *connection, xcb_window_t owner, xcb_atom_t type,
            std::uint32_t command, xcb_window_t answerTo)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = owner;
    message.type = type;
    message.data.data32[0] = command;
    message.data.data32[1] = answerTo;
    xcb_send_event(connection, 0, owner, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&message));
}

// The outcome the owner writes on a window of ours, waited for as long as
// the owner may wait on a slow clipboard; nothing new in that time is no
// answer. The owner's end (its window destroyed) is no answer either.
ClipboardOutcome waitForOutcome(xcb_connection_t *connection, const Atoms &atoms,
                                xcb_window_t owner, xcb_window_t ours)
{
    const auto deadline
        = std::chrono::steady_clock::now() + std::chrono::seconds(OutcomeWaitSeconds);
    for (;;) {
        while (const auto event = owned(xcb_poll_for_event(connection))) {
            const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event.get());
            if ((event->response_type & 0x7f) == XCB_DESTROY_NOTIFY
                && reinterpret_cast<const xcb_destroy_notify_event_t *>(event.get())->window
                    == owner)
                return {};
            if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY || notify->window != ours
                || notify->atom != atoms.outcome || notify->state != XCB_PROPERTY_NEW_VALUE)
                continue;
            const auto value = owned(xcb_get_property_reply(
                connection,
                xcb_get_property(connection, 1, ours, atoms.outcome, XCB_ATOM_STRING, 0, 1024),
                nullptr));
            if (!value)
                return {};
            const std::string_view bytes(
                static_cast<const char *>(xcb_get_property_value(value.get())),
                std::size_t(xcb_get_property_value_length(value.get())));
            return unpacked(bytes).value_or(ClipboardOutcome{});
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || xcb_connection_has_error(connection))
            return {};
        pollfd readable{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&readable, 1, int(left.count()));
    }
}

xcb_connection_t *x11Connection()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Asks the display's Monvert, if there is one, to bring its window back,
// which it takes at once, or to convert the clipboard, whose outcome it
// tells: nothing when there is none.
std::optional<ClipboardOutcome> askOwner(xcb_connection_t *connection, const Atoms &atoms,
                                         std::optional<ClipboardCommand> command)
{
    const xcb_window_t owner = ownerOf(connection, atoms);
    if (owner == XCB_WINDOW_NONE)
        return std::nullopt;
    if (!command) {
        sendTo(connection, owner, atoms.reopen, 0, XCB_WINDOW_NONE);
        return ClipboardOutcome{ClipboardOutcome::Converted, {}};
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t ours = xcb_generate_id(connection);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, ours, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    // The owner's end, should it end before it answers.
    const std::uint32_t structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, owner, XCB_CW_EVENT_MASK, &structure);
    sendTo(connection, owner, atoms.convert, *command == ClipboardCommand::FromLire ? 1 : 2, ours);
    xcb_flush(connection);
    ClipboardOutcome outcome = waitForOutcome(connection, atoms, owner, ours);
    xcb_destroy_window(connection, ours);
    return outcome;
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
        const ClipboardOutcome outcome = convertAsAsked(
            m_form, command == 1 ? ClipboardCommand::FromLire : ClipboardCommand::FromEuro);
        // The asker's window; one that has gone meanwhile is only an error
        // event, which nobody waits for.
        if (const xcb_window_t asker = client->data.data32[1]; asker != XCB_WINDOW_NONE) {
            xcb_connection_t *connection = x11Connection();
            const std::string bytes = packed(outcome);
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, asker, m_atoms.outcome,
                                XCB_ATOM_STRING, 8, std::uint32_t(bytes.size()), bytes.data());
            xcb_flush(connection);
        }
        return true;
    }

private:
    Form &m_form;
    const Atoms m_atoms;
};

} // namespace

std::optional<ClipboardOutcome> askRunningInstance(xcb_connection_t *connection,
                                                   std::optional<ClipboardCommand> command)
{
    auto outcome = askOwner(connection, internAtoms(connection), command);
    if (outcome)
        roundTrip(connection);
    return outcome;
}

std::optional<ClipboardOutcome> askRunningInstance(const std::string &display,
                                                   std::optional<ClipboardCommand> command)
{
    xcb_connection_t *connection = xcb_connect(display.c_str(), nullptr);
    std::optional<ClipboardOutcome> outcome;
    if (!xcb_connection_has_error(connection))
        outcome = askRunningInstance(connection, command);
    xcb_disconnect(connection);
    return outcome;
}

bool claimDisplay(Form &form)
{
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return true;
    const Atoms atoms = internAtoms(connection);
    const auto window = xcb_window_t(form.hWnd());
    // Another start may have got here since the check before Qt started, or
    // be here now: looking for an owner and claiming are one step under a
    // grab of the server, so of two starts at the same moment one claims and
    // the other finds it.
    xcb_grab_server(connection);
    const bool another = ownerOf(connection, atoms) != XCB_WINDOW_NONE;
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
