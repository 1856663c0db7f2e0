// SPDX-License-Identifier: MIT
// An X11 client that misbehaves as the owner of the clipboard, for the
// end-to-end tests. Plain xcb, no toolkit, so it does exactly what it is told.
//
//   clipboard_owner silent   owns the clipboard and answers no request at all
//   clipboard_owner dies     offers text when asked for its targets, then
//                            exits without sending the text itself
//   clipboard_owner owner    prints the window that owns the clipboard (0: none)
//
// The owning modes print their window once they own the clipboard.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unistd.h>

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

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: clipboard_owner silent|dies|owner\n");
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
    if (mode != "silent" && mode != "dies") {
        std::fprintf(stderr, "clipboard_owner: unknown mode\n");
        return 2;
    }

    const xcb_atom_t targets = atom(connection, "TARGETS");
    const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
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

    while (xcb_generic_event_t *event = xcb_wait_for_event(connection)) {
        const std::uint8_t type = event->response_type & 0x7f;
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
        // Silent: every request waits for an answer that never comes.
        std::free(event);
        if (type == XCB_SELECTION_CLEAR)
            break;
    }
    return 0;
}
