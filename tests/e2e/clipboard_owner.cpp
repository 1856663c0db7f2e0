// SPDX-License-Identifier: MIT
// X11 clients around the clipboard for the end-to-end tests, misbehaving or
// minimal. Plain xcb, no toolkit, so each does exactly what it is told.
//
//   clipboard_owner silent     owns the clipboard and answers no request at
//                              all; prints a line for each request it gets.
//                              On SIGUSR1 it answers what it was asked, and
//                              all that follows, with the text 1000
//   clipboard_owner slow MS    owns the clipboard and answers each request
//                              with 1000 after MS milliseconds, as a busy
//                              program does
//   clipboard_owner dies       offers text when asked for its targets, then
//                              exits without sending the text itself
//   clipboard_owner owner      prints the window that owns the clipboard (0: none)
//   clipboard_owner manager    a minimal clipboard manager: saves the text
//                              when its owner leaves, and serves it from then on
//   clipboard_owner multiple N sends N MULTIPLE requests to the clipboard's
//                              owner, malformed or with a list that a second
//                              connection keeps changing, then one
//                              well-formed; prints how many were refused,
//                              then the well-formed answer
//   clipboard_owner malformed N sends the clipboard's owner N requests
//                              made up by hand: unknown selections, atoms
//                              that do not exist, no requestor
//   clipboard_owner managed    exits 0 when a window manager runs: someone
//                              has taken the root window's redirection
//   clipboard_owner grab KEYCODE MODIFIERS
//                              holds that key combination on the root window,
//                              as a desktop's own shortcut does; prints a line
//                              once it holds it
//
// The owning modes print their window once they own their selection.
#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const auto cookie = xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

void notify(xcb_connection_t *connection, const xcb_selection_request_event_t &request,
            xcb_atom_t property)
{
    xcb_selection_notify_event_t event{};
    event.response_type = XCB_SELECTION_NOTIFY;
    event.time = request.time;
    event.requestor = request.requestor;
    event.selection = request.selection;
    event.target = request.target;
    event.property = property;
    xcb_send_event(connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection);
}

template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_window_t inputWindow(xcb_connection_t *connection)
{
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
    return window;
}

// The next SelectionNotify, or none within five seconds.
std::unique_ptr<xcb_selection_notify_event_t, decltype(&std::free)>
waitForNotify(xcb_connection_t *connection)
{
    pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_SELECTION_NOTIFY)
                return {reinterpret_cast<xcb_selection_notify_event_t *>(event), &std::free};
            std::free(event);
        }
        if (poll(&descriptor, 1, 5000) <= 0)
            return {nullptr, &std::free};
    }
}

std::string readProperty(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property)
{
    const ReplyPtr<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 1, window, property,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20),
                               nullptr),
        &std::free);
    if (!reply)
        return {};
    return {static_cast<const char *>(xcb_get_property_value(reply.get())),
            std::size_t(xcb_get_property_value_length(reply.get()))};
}

// Saves the clipboard's text when its owner asks on its way out, as the
// freedesktop.org clipboard managers do, and then owns the clipboard itself.
int manage(xcb_connection_t *connection)
{
    const xcb_atom_t clipboard = atom(connection, "CLIPBOARD");
    const xcb_atom_t manager = atom(connection, "CLIPBOARD_MANAGER");
    const xcb_atom_t saveTargets = atom(connection, "SAVE_TARGETS");
    const xcb_atom_t targets = atom(connection, "TARGETS");
    const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    const xcb_atom_t saved = atom(connection, "MONVERT_TEST_SAVED");
    const xcb_window_t window = inputWindow(connection);
    xcb_set_selection_owner(connection, window, manager, XCB_CURRENT_TIME);
    xcb_flush(connection);
    std::printf("%u\n", window);
    std::fflush(stdout);

    std::string text;
    while (xcb_generic_event_t *event = xcb_wait_for_event(connection)) {
        if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
            const auto request = *reinterpret_cast<xcb_selection_request_event_t *>(event);
            xcb_atom_t answered = XCB_ATOM_NONE;
            if (request.selection == manager && request.target == saveTargets) {
                xcb_convert_selection(connection, window, clipboard, utf8, saved, request.time);
                xcb_flush(connection);
                const auto notified = waitForNotify(connection);
                if (notified && notified->property != XCB_ATOM_NONE) {
                    text = readProperty(connection, window, saved);
                    xcb_set_selection_owner(connection, window, clipboard, XCB_CURRENT_TIME);
                }
                answered = request.property;
            } else if (request.selection == clipboard && request.target == targets) {
                const xcb_atom_t offered[] = {targets, utf8};
                xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor,
                                    request.property, XCB_ATOM_ATOM, 32, 2, offered);
                answered = request.property;
            } else if (request.selection == clipboard && request.target == utf8) {
                xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor,
                                    request.property, utf8, 8, std::uint32_t(text.size()),
                                    text.data());
                answered = request.property;
            }
            notify(connection, request, answered);
        }
        std::free(event);
    }
    return 0;
}

// MULTIPLE requests: racing ones and, in turn, no property, one atom, seven atoms (a
// length that overruns a heap block by exactly the next block's header),
// atoms written as bytes. Then a well-formed one for the text.
int requestMultiple(xcb_connection_t *connection, int count)
{
    const xcb_atom_t clipboard = atom(connection, "CLIPBOARD");
    const xcb_atom_t multiple = atom(connection, "MULTIPLE");
    const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    const xcb_atom_t pairs = atom(connection, "MONVERT_TEST_PAIRS");
    const xcb_atom_t text = atom(connection, "MONVERT_TEST_TEXT");
    const xcb_window_t window = inputWindow(connection);

    // A second connection flips every other request's list between a
    // well-formed one and three atoms, racing whoever reads it.
    const xcb_atom_t racing = atom(connection, "MONVERT_TEST_RACING");
    const xcb_atom_t three[] = {utf8, text, utf8};
    const pid_t flipper = fork();
    if (flipper == 0) {
        xcb_connection_t *own = xcb_connect(nullptr, nullptr);
        for (std::uint32_t i = 0;; ++i) {
            xcb_change_property(own, XCB_PROP_MODE_REPLACE, window, racing, XCB_ATOM_ATOM, 32,
                                2 + i % 2, three);
            xcb_flush(own);
        }
    }
    int refused = 0;
    for (int i = 0; i < count; ++i) {
        if (i % 2 == 1) {
            xcb_convert_selection(connection, window, clipboard, multiple, racing,
                                  XCB_CURRENT_TIME);
            xcb_flush(connection);
            const auto notified = waitForNotify(connection);
            refused += notified && notified->property == XCB_ATOM_NONE ? 1 : 0;
            continue;
        }
        const std::vector<xcb_atom_t> atoms{utf8, text, utf8, text, utf8, text, utf8};
        xcb_delete_property(connection, window, pairs);
        switch (i % 4) {
        case 1:
        case 2:
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, pairs, XCB_ATOM_ATOM, 32,
                                i % 4 == 1 ? 1 : 7, atoms.data());
            break;
        case 3:
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, pairs, XCB_ATOM_ATOM, 8,
                                5, "12345");
            break;
        default: break;
        }
        xcb_convert_selection(connection, window, clipboard, multiple, pairs, XCB_CURRENT_TIME);
        xcb_flush(connection);
        const auto notified = waitForNotify(connection);
        if (notified && notified->property == XCB_ATOM_NONE)
            ++refused;
    }
    kill(flipper, SIGKILL);
    std::printf("refused %d of %d\n", refused, count);

    const xcb_atom_t pair[] = {utf8, text};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, pairs, XCB_ATOM_ATOM, 32, 2,
                        pair);
    xcb_convert_selection(connection, window, clipboard, multiple, pairs, XCB_CURRENT_TIME);
    xcb_flush(connection);
    const auto notified = waitForNotify(connection);
    std::printf("%s\n",
                notified && notified->property == pairs
                    ? readProperty(connection, window, text).c_str()
                    : "(refused)");
    return 0;
}

// What any program on the display can send without the server checking it.
int requestMalformed(xcb_connection_t *connection, xcb_atom_t clipboard, int count)
{
    const auto owner = ReplyPtr<xcb_get_selection_owner_reply_t>(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, clipboard),
                                      nullptr),
        &std::free);
    if (!owner || owner->owner == XCB_WINDOW_NONE)
        return 1;
    const xcb_atom_t unknown = atom(connection, "MONVERT_TEST_TEXT");
    const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    constexpr xcb_atom_t NoSuchAtom = 0x1FFFFFFF;
    const xcb_window_t window = inputWindow(connection);
    for (int i = 0; i < count; ++i) {
        xcb_selection_request_event_t request{};
        request.response_type = XCB_SELECTION_REQUEST;
        request.owner = owner->owner;
        request.requestor = i % 4 == 3 ? xcb_window_t(XCB_WINDOW_NONE) : window;
        request.selection = i % 4 == 0 ? unknown : i % 4 == 1 ? NoSuchAtom : clipboard;
        request.target = i % 4 == 2 ? NoSuchAtom : utf8;
        request.property = i % 2 ? NoSuchAtom : unknown;
        xcb_send_event(connection, 0, owner->owner, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(&request));
    }
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: clipboard_owner silent|dies|slow MS|owner|manager|multiple "
                     "N|malformed N|managed|"
                     "grab KEYCODE MODIFIERS\n");
        return 2;
    }
    const std::string_view mode = argv[1];
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connected(
        xcb_connect(nullptr, nullptr), &xcb_disconnect);
    xcb_connection_t *connection = connected.get();
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "clipboard_owner: no X display\n");
        return 1;
    }
    const xcb_atom_t clipboard = atom(connection, "CLIPBOARD");

    if (mode == "owner") {
        std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply(
            xcb_get_selection_owner_reply(connection,
                                          xcb_get_selection_owner(connection, clipboard), nullptr),
            &std::free);
        std::printf("%u\n", reply ? reply->owner : 0U);
        return 0;
    }
    if (mode == "manager")
        return manage(connection);
    if (mode == "multiple")
        return requestMultiple(connection, argc > 2 ? std::atoi(argv[2]) : 16);
    if (mode == "managed") {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const std::uint32_t redirect = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT;
        const ReplyPtr<xcb_generic_error_t> error(
            xcb_request_check(connection,
                              xcb_change_window_attributes_checked(connection, root,
                                                                   XCB_CW_EVENT_MASK, &redirect)),
            &std::free);
        return error && error->error_code == XCB_ACCESS ? 0 : 1;
    }
    if (mode == "grab" && argc > 3) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const ReplyPtr<xcb_generic_error_t> error(
            xcb_request_check(connection,
                              xcb_grab_key_checked(connection, 0, root,
                                                   std::uint16_t(std::atoi(argv[3])),
                                                   xcb_keycode_t(std::atoi(argv[2])),
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)),
            &std::free);
        if (error)
            return 1;
        std::printf("holding\n");
        std::fflush(stdout);
        while (xcb_generic_event_t *event = xcb_wait_for_event(connection))
            std::free(event);
        return 0;
    }
    if (mode == "malformed")
        return requestMalformed(connection, clipboard, argc > 2 ? std::atoi(argv[2]) : 16);
    if (mode != "silent" && mode != "dies" && mode != "slow") {
        std::fprintf(stderr, "clipboard_owner: unknown mode\n");
        return 2;
    }

    const xcb_atom_t targets = atom(connection, "TARGETS");
    const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    const xcb_window_t window = inputWindow(connection);
    xcb_set_selection_owner(connection, window, clipboard, XCB_CURRENT_TIME);
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, clipboard),
                                      nullptr),
        &std::free);
    if (!owner || owner->owner != window) {
        std::fprintf(stderr, "clipboard_owner: could not take the clipboard\n");
        return 1;
    }
    std::printf("%u\n", window);
    std::fflush(stdout);

    // Told to answer by a signal: a handler may only write, so the loop
    // waits on the display and on this pipe at once.
    static int told[2];
    if (::pipe(told) != 0)
        return 1;
    std::signal(SIGUSR1, [](int) { [[maybe_unused]] const auto n = ::write(told[1], "", 1); });
    bool answering = false;
    std::vector<xcb_selection_request_event_t> unanswered;
    const auto answer = [&](const xcb_selection_request_event_t &request) {
        const xcb_atom_t offered[] = {targets, utf8};
        if (request.target == targets)
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor,
                                request.property, XCB_ATOM_ATOM, 32, 2, offered);
        else if (request.target == utf8)
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor,
                                request.property, utf8, 8, 4, "1000");
        notify(connection, request,
               request.target == targets || request.target == utf8 ? request.property
                                                                   : xcb_atom_t(XCB_ATOM_NONE));
    };

    for (;;) {
        pollfd waiting[] = {{xcb_get_file_descriptor(connection), POLLIN, 0}, {told[0], POLLIN, 0}};
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (!event) {
            if (xcb_connection_has_error(connection))
                break;
            ::poll(waiting, 2, -1);
            if (waiting[1].revents & POLLIN) {
                char byte;
                [[maybe_unused]] const auto n = ::read(told[0], &byte, 1);
                answering = true;
                for (const auto &request : unanswered)
                    answer(request);
                unanswered.clear();
                xcb_flush(connection);
            }
            continue;
        }
        const std::uint8_t type = event->response_type & 0x7f;
        if (type == XCB_SELECTION_REQUEST && mode == "silent") {
            const auto request = *reinterpret_cast<xcb_selection_request_event_t *>(event);
            const ReplyPtr<xcb_get_atom_name_reply_t> name(
                xcb_get_atom_name_reply(connection, xcb_get_atom_name(connection, request.target),
                                        nullptr),
                &std::free);
            std::printf("request %.*s\n", name ? xcb_get_atom_name_name_length(name.get()) : 0,
                        name ? xcb_get_atom_name_name(name.get()) : "");
            std::fflush(stdout);
            if (answering)
                answer(request);
            else
                unanswered.push_back(request);
        }
        if (type == XCB_SELECTION_REQUEST && mode == "slow") {
            ::usleep(useconds_t(std::atoi(argc > 2 ? argv[2] : "300")) * 1000);
            answer(*reinterpret_cast<xcb_selection_request_event_t *>(event));
            xcb_flush(connection);
        }
        if (type == XCB_SELECTION_REQUEST && mode == "dies") {
            const auto request = *reinterpret_cast<xcb_selection_request_event_t *>(event);
            if (request.target != targets) {
                // Gone between offering the text and sending it.
                _exit(0);
            }
            const xcb_atom_t offered[] = {targets, utf8};
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor,
                                request.property, XCB_ATOM_ATOM, 32, 2, offered);
            notify(connection, request, request.property);
        }
        // Silent: every request waits for an answer until told.
        std::free(event);
        if (type == XCB_SELECTION_CLEAR)
            break;
    }
    return 0;
}
