// SPDX-License-Identifier: MIT
// Global shortcuts on X11: passive grabs of the key on the root window, for
// every state of NumLock and CapsLock, so that the key combination reaches
// this program from whatever application has the focus, which keeps it.
#include "forms/application.h"

#include "forms/form.h"
#include "forms/qt/dispatch.h"
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
    if (key[0] == 'F')
        return 0xFFBE + std::uint32_t(std::stoi(key.substr(1))) - 1;
    constexpr std::array<std::pair<std::string_view, std::uint32_t>, 17> Named{{
        {"Space", 0x20},
        {"Tab", 0xFF09},
        {"Backspace", 0xFF08},
        {"Return", 0xFF0D},
        {"Enter", 0xFF8D},
        {"Esc", 0xFF1B},
        {"Ins", 0xFF63},
        {"Del", 0xFFFF},
        {"Home", 0xFF50},
        {"End", 0xFF57},
        {"PgUp", 0xFF55},
        {"PgDown", 0xFF56},
        {"Left", 0xFF51},
        {"Up", 0xFF52},
        {"Right", 0xFF53},
        {"Down", 0xFF54},
        {"Pause", 0xFF13},
    }};
    for (const auto &[name, keysym] : Named) {
        if (key == name)
            return keysym;
    }
    return key == "Print" ? 0xFF61 : key == "ScrollLock" ? 0xFF14 : 0;
}

constexpr std::uint32_t NumLock = 0xFF7F;
constexpr std::uint32_t AltL = 0xFFE9;
constexpr std::uint32_t SuperL = 0xFFEB;

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

    std::vector<xcb_keycode_t> keycodesOf(std::uint32_t keysym) const
    {
        std::vector<xcb_keycode_t> codes;
        for (std::size_t k = 0; k < keysyms.size(); ++k) {
            // The key's own symbol or its shifted one: "+" is Shift and "=" on most layouts.
            for (std::size_t level = 0; level < std::min<std::size_t>(2, keysyms[k].size());
                 ++level) {
                if (keysyms[k][level] == keysym)
                    codes.push_back(xcb_keycode_t(first + k));
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
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~ShortcutGrabs() override
    {
        for (const Grab &grab : m_grabs)
            ungrab(grab);
    }

    // False, having said why, when another program holds the combination.
    bool grab(Grab grab)
    {
        if (!take(grab)) {
            std::fputs(
                filledIn(translated("monvert: the shortcut %s is taken by another program\n"),
                         {grab.keys})
                    .c_str(),
                stderr);
            return false;
        }
        m_grabs.push_back(std::move(grab));
        return true;
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        switch (event->response_type & 0x7f) {
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
                    if (m_form.ConvertClipboard)
                        dispatch(u"Form", "ConvertClipboard",
                                 [&] { m_form.ConvertClipboard(grab.command); });
                    return true;
                }
            }
            return false;
        }
        case XCB_MAPPING_NOTIFY: {
            // Another layout, NumLock elsewhere: the same combinations, grabbed again.
            const auto *notify = reinterpret_cast<const xcb_mapping_notify_event_t *>(event);
            if (notify->request == XCB_MAPPING_POINTER)
                return false;
            for (const Grab &grab : m_grabs)
                ungrab(grab);
            m_keyboard = Keyboard(m_connection);
            for (Grab &grab : m_grabs)
                take(grab);
            return false;
        }
        default: return false;
        }
    }

private:
    // The grabs with NumLock and CapsLock either way, checked one by one so
    // that a combination another program holds (BadAccess) is known at once.
    bool take(Grab &grab)
    {
        const Shortcut &keys = grab.shortcut;
        grab.keycodes = m_keyboard.keycodesOf(keysymOf(keys.key));
        grab.modifiers = std::uint16_t(
            (keys.shift ? XCB_MOD_MASK_SHIFT : 0) | (keys.control ? XCB_MOD_MASK_CONTROL : 0)
            | (keys.alt ? m_keyboard.alt : 0) | (keys.meta ? m_keyboard.super : 0));
        if (grab.keycodes.empty())
            return false;
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
        bool taken = true;
        for (const xcb_void_cookie_t cookie : cookies) {
            if (const auto error = owned(xcb_request_check(m_connection, cookie)))
                taken = false;
        }
        if (!taken)
            ungrab(grab);
        return taken;
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
};

} // namespace

bool grabShortcut(Form &form, ClipboardCommand command, std::string_view keys)
{
    const std::string written(keys);
    const auto shortcut = readShortcut(keys);
    if (!shortcut) {
        std::fputs(
            filledIn(translated("monvert: cannot read the shortcut '%s'\n"), {written}).c_str(),
            stderr);
        return false;
    }
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) {
        // Wayland lets no program take keys from another: the desktop's own
        // keyboard settings can run the command that converts instead.
        std::fputs(
            filledIn(translated("monvert: this desktop lets no program take keys from "
                                "another; bind %s in its keyboard settings to: %s\n"),
                     {written,
                      command == ClipboardCommand::FromLire ? "monvert --from-lire --clipboard"
                                                            : "monvert --from-euro --clipboard"})
                .c_str(),
            stderr);
        return false;
    }
    // One keeper of the grabs a window, found by its name.
    const QString name = QStringLiteral("monvert shortcuts");
    QObject *kept = widgetOf(form)->findChild<QObject *>(name, Qt::FindDirectChildrenOnly);
    auto *grabs = static_cast<ShortcutGrabs *>(kept);
    if (!grabs) {
        grabs = new ShortcutGrabs(form, x11->connection());
        grabs->setObjectName(name);
    }
    return grabs->grab(Grab{command, written, *shortcut, {}, 0});
}

} // namespace Monvert::Forms
