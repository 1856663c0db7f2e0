// SPDX-License-Identifier: MIT
// Global shortcuts on X11: passive grabs of the key on the root window, for
// every state of NumLock and CapsLock, so that the key combination reaches
// this program from whatever application has the focus, which keeps it.
#include "forms/application.h"

#include "forms/form.h"
#include "forms/qt/dispatch.h"
#include "forms/qt/native.h"
#include "forms/qt/notices.h"
#include "forms/qt/widgets.h"
#include "forms/qt/xcb.h"
#include "rules/messages.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace Monvert::Forms {

namespace {

// X keysyms of the keys a shortcut names: Latin-1 characters are their own.
std::uint32_t keysymOf(const std::string &key)
{
    if (key.size() == 1) {
        const auto c = static_cast<unsigned char>(key[0]);
        return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
    }
    const auto codes = namedKeyCodes(key);
    return codes ? codes->keysym : 0;
}

constexpr std::uint32_t NumLock = 0xFF7F;
constexpr std::uint32_t AltL = 0xFFE9;
constexpr std::uint32_t SuperL = 0xFFEB;

} // namespace

// The keyboard as the server has it now: the keycodes of each keysym, and
// which modifier bit NumLock, Alt and Super are (not always Mod2, Mod1, Mod4).
struct Keyboard
{
    std::vector<std::vector<std::uint32_t>> keysyms; // by keycode less the first
    xcb_keycode_t first = 8;
    std::uint16_t numLock = 0, alt = XCB_MOD_MASK_1, super = XCB_MOD_MASK_4;

    explicit Keyboard(xcb_connection_t *connection)
    {
        const xcb_setup_t *setup = xcb_get_setup(connection);
        first = setup->min_keycode;
        const auto count = std::uint8_t(setup->max_keycode - setup->min_keycode + 1);
        const auto mapping = owned(xcb_get_keyboard_mapping_reply(
            connection, xcb_get_keyboard_mapping(connection, first, count), nullptr));
        if (mapping) {
            const xcb_keysym_t *all = xcb_get_keyboard_mapping_keysyms(mapping.get());
            const int per = mapping->keysyms_per_keycode;
            for (int k = 0; k < count; ++k)
                keysyms.emplace_back(all + k * per, all + (k + 1) * per);
        }
        const auto modifiers = owned(xcb_get_modifier_mapping_reply(
            connection, xcb_get_modifier_mapping(connection), nullptr));
        if (!modifiers)
            return;
        const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(modifiers.get());
        const int per = modifiers->keycodes_per_modifier;
        for (int bit = 0; bit < 8; ++bit) {
            for (int k = 0; k < per; ++k) {
                const xcb_keycode_t code = codes[bit * per + k];
                const auto is = [&](std::uint32_t keysym) {
                    return code >= first && std::size_t(code - first) < keysyms.size()
                        && !keysyms[code - first].empty() && keysyms[code - first][0] == keysym;
                };
                if (is(NumLock))
                    numLock = std::uint16_t(1 << bit);
                else if (is(AltL))
                    alt = std::uint16_t(1 << bit);
                else if (is(SuperL))
                    super = std::uint16_t(1 << bit);
            }
        }
    }

    // The keys that type the symbol, in the first group of the layout that
    // has it, as desktops take shortcuts: under "ru,us" the keys of the
    // second, which a grab hears whatever group is in use.
    std::vector<xcb_keycode_t> keycodesOf(std::uint32_t keysym) const
    {
        std::vector<xcb_keycode_t> codes;
        // The core mapping holds each group's two levels side by side.
        for (std::size_t group = 0; codes.empty() && group < 4; ++group) {
            for (std::size_t k = 0; k < keysyms.size(); ++k) {
                // The key's own symbol or its shifted one: "+" is Shift and
                // "=" on most layouts.
                for (std::size_t level = 2 * group;
                     level < std::min<std::size_t>(2 * group + 2, keysyms[k].size()); ++level) {
                    if (keysyms[k][level] == keysym)
                        codes.push_back(xcb_keycode_t(first + k));
                }
            }
        }
        return codes;
    }
};

struct Grab
{
    ClipboardCommand command;
    std::string keys;
    Shortcut shortcut;
    std::vector<xcb_keycode_t> keycodes;
    std::uint16_t modifiers = 0;
};

// Why a grab is not held.
enum class Refusal { None, Taken, NoKey };

// XKB's events of a new keyboard or keymap, which a client that uses XKB,
// as Qt does, gets instead of MappingNotify.
constexpr std::uint8_t XkbNewKeyboardNotify = 0;
constexpr std::uint8_t XkbMapNotify = 1;

class ShortcutGrabs final : public QObject, public QAbstractNativeEventFilter
{
public:
    ShortcutGrabs(Form &form, xcb_connection_t *connection)
        : QObject(widgetOf(form))
        , m_form(form)
        , m_connection(connection)
        , m_root(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root)
        , m_keyboard(connection)
    {
        const char name[] = "XKEYBOARD";
        const auto xkb = owned(xcb_query_extension_reply(
            connection, xcb_query_extension(connection, sizeof name - 1, name), nullptr));
        if (xkb && xkb->present)
            m_xkbEvent = xkb->first_event;
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~ShortcutGrabs() override
    {
        for (const Grab &grab : m_grabs)
            ungrab(grab);
    }

    // False, having said why, when the combination is another program's,
    // no key of the layout types it (it is grabbed once one does), or it
    // is this program's already, for the other direction.
    bool grab(Grab grab)
    {
        for (const Grab &held : m_grabs) {
            if (held.shortcut == grab.shortcut) {
                tell(filledIn(translated("monvert: the shortcut %s is given to both "
                                         "directions; it keeps the first\n"),
                              {grab.keys}));
                return false;
            }
        }
        const Refusal refusal = take(grab);
        if (refusal == Refusal::Taken) {
            tell(filledIn(translated("monvert: the shortcut %s is taken by another program\n"),
                          {grab.keys}));
            return false;
        }
        if (refusal == Refusal::NoKey)
            tell(filledIn(translated("monvert: no key of the current keyboard layout types %s; "
                                     "the shortcut %s works once one does\n"),
                          {grab.shortcut.key, grab.keys}));
        m_grabs.push_back(std::move(grab));
        return refusal == Refusal::None;
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        const std::uint8_t type = event->response_type & 0x7f;
        if (m_xkbEvent && type == m_xkbEvent) {
            // Its kind is the byte after the type.
            const auto kind = reinterpret_cast<const std::uint8_t *>(event)[1];
            if (kind == XkbNewKeyboardNotify || kind == XkbMapNotify)
                grabAgain();
            return false;
        }
        switch (type) {
        case XCB_KEY_PRESS: {
            const auto *press = reinterpret_cast<const xcb_key_press_event_t *>(event);
            if (press->event != m_root)
                return false;
            const auto held
                = std::uint16_t(press->state & ~(XCB_MOD_MASK_LOCK | m_keyboard.numLock));
            for (const Grab &grab : m_grabs) {
                if (held == grab.modifiers
                    && std::find(grab.keycodes.begin(), grab.keycodes.end(), press->detail)
                        != grab.keycodes.end()) {
                    // A held key repeats its press, with a release just
                    // before each (at the same moment) unless the server
                    // is asked for detectable repeats: one press, one
                    // conversion.
                    const bool repeat = press->detail == m_down
                        || (press->detail == m_released && press->time == m_releasedAt);
                    m_down = press->detail;
                    if (!repeat && m_form.ConvertClipboard)
                        dispatch(u"Form", "ConvertClipboard",
                                 [&] { m_form.ConvertClipboard(grab.command); });
                    return true;
                }
            }
            return false;
        }
        case XCB_KEY_RELEASE: {
            const auto *release = reinterpret_cast<const xcb_key_release_event_t *>(event);
            if (release->event != m_root || release->detail != m_down)
                return false;
            m_down = 0;
            m_released = release->detail;
            m_releasedAt = release->time;
            return true;
        }
        case XCB_MAPPING_NOTIFY: {
            const auto *notify = reinterpret_cast<const xcb_mapping_notify_event_t *>(event);
            if (notify->request != XCB_MAPPING_POINTER)
                grabAgain();
            return false;
        }
        default: return false;
        }
    }

private:
    // Another layout, another group list, NumLock elsewhere: the same
    // combinations, on the keys that type them now.
    void grabAgain()
    {
        for (const Grab &grab : m_grabs)
            ungrab(grab);
        m_keyboard = Keyboard(m_connection);
        for (Grab &grab : m_grabs)
            take(grab);
    }

    // The grabs with NumLock and CapsLock either way, checked one by one so
    // that a combination another program holds (BadAccess) is known at once.
    Refusal take(Grab &grab)
    {
        const Shortcut &keys = grab.shortcut;
        grab.keycodes = m_keyboard.keycodesOf(keysymOf(keys.key));
        grab.modifiers = std::uint16_t(
            (keys.shift ? XCB_MOD_MASK_SHIFT : 0) | (keys.control ? XCB_MOD_MASK_CONTROL : 0)
            | (keys.alt ? m_keyboard.alt : 0) | (keys.meta ? m_keyboard.super : 0));
        if (grab.keycodes.empty())
            return Refusal::NoKey;
        const std::array<std::uint16_t, 4> locks{
            0, XCB_MOD_MASK_LOCK, m_keyboard.numLock,
            std::uint16_t(XCB_MOD_MASK_LOCK | m_keyboard.numLock)};
        std::vector<xcb_void_cookie_t> cookies;
        for (const xcb_keycode_t keycode : grab.keycodes) {
            for (const std::uint16_t lock : locks)
                cookies.push_back(xcb_grab_key_checked(
                    m_connection, 0, m_root, std::uint16_t(grab.modifiers | lock), keycode,
                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
        bool taken = false;
        for (const xcb_void_cookie_t cookie : cookies) {
            if (const auto error = owned(xcb_request_check(m_connection, cookie)))
                taken = taken || error->error_code == XCB_ACCESS;
        }
        if (taken) {
            ungrab(grab);
            grab.keycodes.clear();
        }
        return taken ? Refusal::Taken : Refusal::None;
    }

    void ungrab(const Grab &grab)
    {
        for (const xcb_keycode_t keycode : grab.keycodes) {
            for (const std::uint16_t lock :
                 {std::uint16_t(0), std::uint16_t(XCB_MOD_MASK_LOCK), m_keyboard.numLock,
                  std::uint16_t(XCB_MOD_MASK_LOCK | m_keyboard.numLock)})
                xcb_ungrab_key(m_connection, keycode, m_root, std::uint16_t(grab.modifiers | lock));
        }
        xcb_flush(m_connection);
    }

    Form &m_form;
    xcb_connection_t *m_connection;
    const xcb_window_t m_root;
    Keyboard m_keyboard;
    std::vector<Grab> m_grabs;
    std::uint8_t m_xkbEvent = 0;
    // The grabbed key held down now, and the last one let go, when.
    xcb_keycode_t m_down = 0;
    xcb_keycode_t m_released = 0;
    xcb_timestamp_t m_releasedAt = 0;
};

bool grabShortcut(Form &form, ClipboardCommand command, std::string_view keys)
{
    const std::string written(keys);
    const auto shortcut = readShortcut(keys);
    if (!shortcut) {
        tell(filledIn(translated("monvert: cannot read the shortcut '%s'\n"), {written}));
        return false;
    }
    const char *bound = command == ClipboardCommand::FromLire ? "monvert --from-lire --clipboard"
                                                              : "monvert --from-euro --clipboard";
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) {
        // Wayland lets no program take keys from another: the desktop's own
        // keyboard settings can run the command that converts instead.
        tell(filledIn(translated("monvert: this desktop lets no program take keys from "
                                 "another; bind %s in its keyboard settings to: %s\n"),
                      {written, bound}));
        return false;
    }
    // Through XWayland, a grab hears the keys only while an X11 program has
    // the focus, and most programs of a Wayland session are not.
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qgetenv("XDG_SESSION_TYPE") == QByteArrayLiteral("wayland"))
        tell(filledIn(translated("monvert: on a Wayland session %s reaches Monvert only from X11 "
                                 "programs; for every program, bind it in the desktop's keyboard "
                                 "settings to: %s\n"),
                      {written, bound}));
    // One keeper of the grabs a window, which the window owns.
    ShortcutGrabs *&grabs = form.native().shortcuts;
    if (!grabs)
        grabs = new ShortcutGrabs(form, x11->connection());
    return grabs->grab(Grab{command, written, *shortcut, {}, 0});
}

} // namespace Monvert::Forms
