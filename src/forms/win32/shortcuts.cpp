// SPDX-License-Identifier: MIT
// Global shortcuts on Windows: hotkeys of the window's own, which the system
// posts to it from whatever application has the focus, which keeps it.
#include "forms/application.h"

#include "forms/form.h"
#include "forms/win32/native.h"
#include "rules/messages.h"
#include "rules/utf8.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace Monvert::Forms {

namespace {

// The virtual-key code of a key as a shortcut names it, and whether typing
// its character takes Shift on this keyboard; 0 for none.
std::pair<UINT, bool> virtualKeyOf(const std::string &key)
{
    if (key.size() == 1) {
        const char c = key[0];
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            return {UINT(c), false};
        const SHORT scanned = VkKeyScanW(wchar_t(c));
        return scanned == -1
            ? std::pair<UINT, bool>{0, false}
            : std::pair<UINT, bool>{UINT(LOBYTE(scanned)), (HIBYTE(scanned) & 1) != 0};
    }
    if (key[0] == 'F') {
        const int number = std::stoi(key.substr(1));
        return {number <= 24 ? UINT(VK_F1 + number - 1) : 0, false};
    }
    constexpr std::array<std::pair<std::string_view, UINT>, 19> Named{{
        {"Space", VK_SPACE},       {"Tab", VK_TAB},      {"Backspace", VK_BACK},
        {"Return", VK_RETURN},     {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE},
        {"Ins", VK_INSERT},        {"Del", VK_DELETE},   {"Home", VK_HOME},
        {"End", VK_END},           {"PgUp", VK_PRIOR},   {"PgDown", VK_NEXT},
        {"Left", VK_LEFT},         {"Up", VK_UP},        {"Right", VK_RIGHT},
        {"Down", VK_DOWN},         {"Pause", VK_PAUSE},  {"Print", VK_SNAPSHOT},
        {"ScrollLock", VK_SCROLL},
    }};
    for (const auto &[name, code] : Named) {
        if (key == name)
            return {code, false};
    }
    return {0, false};
}

// The first combination this start could not have is told in a message box,
// which names it; the window is there all the same.
void tellOnce(const std::string &line)
{
    static bool told = false;
    if (told)
        return;
    told = true;
    std::u16string message;
    decodeUtf8(line, message);
    MessageBoxW(nullptr, wide(message).c_str(), L"Monvert", MB_OK | MB_ICONWARNING);
}

} // namespace

bool grabShortcut(Form &form, ClipboardCommand command, std::string_view keys)
{
    const std::string written(keys);
    const auto shortcut = readShortcut(keys);
    const auto [key, shifted]
        = shortcut ? virtualKeyOf(shortcut->key) : std::pair<UINT, bool>{0, false};
    if (!shortcut || key == 0) {
        tellOnce(filledIn(translated("monvert: cannot read the shortcut '%s'\n"), {written}));
        return false;
    }
    // One combination for both directions would be refused by the system
    // as taken, by this very program.
    static std::vector<Shortcut> registered;
    if (std::find(registered.begin(), registered.end(), *shortcut) != registered.end()) {
        tellOnce(filledIn(translated("monvert: the shortcut %s is given to both directions; it "
                                     "keeps the first\n"),
                          {written}));
        return false;
    }
    // Held down, a key repeats: one conversion for one press.
    const UINT modifiers = MOD_NOREPEAT | (shortcut->shift || shifted ? MOD_SHIFT : 0U)
        | (shortcut->control ? MOD_CONTROL : 0U) | (shortcut->alt ? MOD_ALT : 0U)
        | (shortcut->meta ? MOD_WIN : 0U);
    const int id = command == ClipboardCommand::FromLire ? 1 : 2;
    if (RegisterHotKey(form.native().window.get(), id, modifiers, key)) {
        registered.push_back(*shortcut);
        return true;
    }
    tellOnce(GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED
                 ? filledIn(translated("monvert: the shortcut %s is taken by another program\n"),
                            {written})
                 : filledIn(translated("monvert: cannot read the shortcut '%s'\n"), {written}));
    return false;
}

} // namespace Monvert::Forms
